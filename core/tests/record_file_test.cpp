#include "core/record_file.h"

#include <gtest/gtest.h>

#include "core/replace_file.h"
#include "tests/fakes/memory_file_system.h"

namespace norvane {
namespace {

TEST(RecordFile, FieldsAreReadOneAtATimeRegardlessOfLines) {
  RecordReader r("\"a, b\",12,#TRUE#\r\n  \"x\" , -3.5 ,#FALSE#\r\n\r\nbare text\n\"unterminated");
  EXPECT_EQ(*r.NextText(), "a, b");
  EXPECT_EQ(*r.NextNumber(), 12);
  EXPECT_EQ(*r.NextBool(), true);
  EXPECT_TRUE(r.LastEndedLine());
  EXPECT_EQ(*r.NextText(), "x");
  EXPECT_EQ(*r.NextNumber(), -3.5);
  EXPECT_EQ(*r.NextBool(), false);
  EXPECT_EQ(*r.NextText(), "bare text");
  EXPECT_EQ(*r.NextText(), "unterminated");
  EXPECT_FALSE(r.NextText());
  EXPECT_TRUE(r.AtEnd());
}

// The reader test above covers every form the writer produces, so exact bytes suffice here.
TEST(RecordFile, WriterBytes) {
  RecordWriter w;
  w.Text("KMCI 071253Z").Number(12.5).Integer(-7).Bool(true).EndRecord().Text("say \"hi\"").EndRecord();
  EXPECT_EQ(w.str(), "\"KMCI 071253Z\",12.5,-7,#TRUE#\r\n\"say hi\"\r\n");
}

TEST(ReplaceFile, FailedWriteOrRenameLeavesTheOldFileWhole) {
  testing::MemoryFileSystem fs;
  fs.files["obs.wad"] = "old contents";
  fs.writeBudget = 3;
  for (bool* failure : {&fs.failWrites, &fs.failRenames}) {
    *failure = true;
    EXPECT_FALSE(ReplaceFile(fs, "obs.wad", "new contents", "temp.wad"));
    EXPECT_EQ(fs.files["obs.wad"], "old contents");
    EXPECT_FALSE(fs.Exists("temp.wad"));
    *failure = false;
  }
  EXPECT_TRUE(ReplaceFile(fs, "obs.wad", "new contents", "temp.wad"));
  EXPECT_EQ(fs.files["obs.wad"], "new contents");
  EXPECT_FALSE(fs.Exists("temp.wad"));
}

}  // namespace
}  // namespace norvane
