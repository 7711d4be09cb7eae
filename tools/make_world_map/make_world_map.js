#!/usr/bin/env node
// Builds "world.map" (4-byte records: latitude*100, longitude*100 as 16-bit signed
// little-endian; latitude -32000 is a break) from the Natural Earth TopoJSON of the
// npm packages world-atlas (1:50m land and country borders) and us-atlas (US states).
//
// usage: node make_world_map.js <node_modules folder> <output world.map>
'use strict';
const fs = require('fs');
const path = require('path');

const [modules, output] = process.argv.slice(2);
if (!modules || !output) {
  console.error('usage: node make_world_map.js <node_modules folder> <output world.map>');
  process.exit(2);
}
const topojson = require(path.join(modules, 'topojson-client'));
const load = (name) => JSON.parse(fs.readFileSync(path.join(modules, name), 'utf8'));

const BREAK = -32000;
// Points closer than this (hundredths of a degree) to the last kept point are dropped.
const MIN_STEP = 3;
const records = [];

function addBreak() {
  if (records.length > 0 && records[records.length - 1][0] !== BREAK) records.push([BREAK, BREAK]);
}

function addLine(coords) {
  let last = null;
  let count = 0;
  coords.forEach(([lon, lat], i) => {
    const lat100 = Math.max(-9000, Math.min(9000, Math.round(lat * 100)));
    const lon100 = Math.max(-18000, Math.min(18000, Math.round(lon * 100)));
    if (last && Math.abs(lon100 - last[1]) > 18000) {
      // Never join a line across the date line.
      addBreak();
      last = null;
    }
    const isLast = i === coords.length - 1;
    if (last && !isLast && Math.abs(lat100 - last[0]) < MIN_STEP && Math.abs(lon100 - last[1]) < MIN_STEP) return;
    if (last && lat100 === last[0] && lon100 === last[1]) return;
    records.push([lat100, lon100]);
    last = [lat100, lon100];
    ++count;
  });
  if (count > 0) addBreak();
}

function addGeometry(geom) {
  if (!geom) return;
  switch (geom.type) {
    case 'LineString': addLine(geom.coordinates); break;
    case 'MultiLineString': geom.coordinates.forEach(addLine); break;
    case 'Polygon': geom.coordinates.forEach(addLine); break;
    case 'MultiPolygon': geom.coordinates.forEach((p) => p.forEach(addLine)); break;
    case 'GeometryCollection': geom.geometries.forEach(addGeometry); break;
    default: break;
  }
}

// Coastlines: the outline of the land.
const land = load('world-atlas/land-50m.json');
addGeometry(topojson.mesh(land, land.objects.land));
// Country borders: arcs shared by two countries.
const countries = load('world-atlas/countries-50m.json');
addGeometry(topojson.mesh(countries, countries.objects.countries, (a, b) => a !== b));
// US state borders.
const states = load('us-atlas/states-10m.json');
addGeometry(topojson.mesh(states, states.objects.states, (a, b) => a !== b));

const buf = Buffer.alloc(records.length * 4);
records.forEach(([lat, lon], i) => {
  buf.writeInt16LE(lat, 4 * i);
  buf.writeInt16LE(lon, 4 * i + 2);
});
fs.writeFileSync(output, buf);
console.log(`${output}: ${records.length} records`);
