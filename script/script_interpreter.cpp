#include "script/script_interpreter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <unordered_map>

#include "core/lenient_number.h"
#include "core/number_text.h"
#include "script/script_constants.h"

namespace norvane {

namespace {

constexpr std::size_t kMaxWords = 100;
// Command lines hand over words 0 to 50.
constexpr std::size_t kExecWords = 51;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string StoredLine(std::string_view field, bool upper = true) {
  std::size_t b = 0, e = field.size();
  while (b < e && IsBlank(field[b])) ++b;
  while (e > b && IsBlank(field[e - 1])) --e;
  std::string line;
  line.reserve(e - b + 1);
  for (std::size_t i = b; i < e; ++i) line.push_back(upper ? Upper(field[i]) : field[i]);
  line.push_back(' ');
  return line;
}

// SHELL and SHELLMIN start programs by their real names, so their lines go to the
// interpreter with the letters the user wrote.
bool KeepsWrittenCase(std::string_view storedLine) {
  return storedLine.rfind("SHELL ", 0) == 0 || storedLine.rfind("SHELLMIN ", 0) == 0;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

enum class Op {
  Set, Add, Sub, Mul, Div, Pwr, Mod, Sqr, Abs, Sgn, Sin, Cos, Tan, Atn, Int, Fix, Ln, Log, Exp, Rnd,
  KillVar, IfEq, IfGt, IfLt, IfGe, IfLe, IfNe, IfR, Jmp, Lbl, Nothing, End, Command
};

Op Keyword(std::string_view w) {
  static const std::unordered_map<std::string_view, Op> table{
      {"SET", Op::Set},     {"ADD", Op::Add},     {"SUB", Op::Sub},     {"MUL", Op::Mul},
      {"DIV", Op::Div},     {"PWR", Op::Pwr},     {"MOD", Op::Mod},     {"SQR", Op::Sqr},
      {"ABS", Op::Abs},     {"SGN", Op::Sgn},     {"SIN", Op::Sin},     {"COS", Op::Cos},
      {"TAN", Op::Tan},     {"ATN", Op::Atn},     {"INT", Op::Int},     {"FIX", Op::Fix},
      {"LN", Op::Ln},       {"LOG", Op::Log},     {"EXP", Op::Exp},     {"RND", Op::Rnd},
      {"KILLVAR", Op::KillVar}, {"IF=", Op::IfEq}, {"IF>", Op::IfGt},   {"IF<", Op::IfLt},
      {"IF>=", Op::IfGe},   {"IF<=", Op::IfLe},   {"IF<>", Op::IfNe},   {"IFR", Op::IfR},
      {"JMP", Op::Jmp},     {"LBL", Op::Lbl},     {"RMK", Op::Nothing}, {"NIL", Op::Nothing},
      {"", Op::Nothing},    {"END", Op::End}};
  const auto it = table.find(w);
  return it == table.end() ? Op::Command : it->second;
}

// Whole numbers below 1E+15 read the same in the number-to-text form as in plain
// integer form; counting loops substitute them millions of times, so skip the
// general conversion for them.
void AppendValueText(std::string& out, double value) {
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
    out.append(buf, r.ptr);
    return;
  }
  out += TrimmedNumberText(value);
}

bool IsCondition(Op op) { return op >= Op::IfEq && op <= Op::IfR; }

// One run of one script: its lines, locals, arguments and condition state.
class Run {
 public:
  Run(std::vector<std::string> lines, std::vector<std::string> written, const ScriptArguments& args, std::string name,
      ScriptHost& host, const Clock& clock, RandomSource& random, GlobalVariables& globals, bool& stopping)
      : lines_(std::move(lines)), written_(std::move(written)), args_(args), name_(std::move(name)), host_(host), clock_(clock),
        random_(random), globals_(globals), stopping_(stopping), locals_(std::make_unique<LocalVariables>()) {}

  void Execute();

 private:
  enum class Outcome { Next, Jumped, End, Failed };

  void Fail(const std::string& text) {
    host_.ShowMessage(text + std::to_string(n_) + " in the script '" + name_ + "' - must end script !!!");
  }
  bool Substitute(const std::string& line);
  void SplitWords();
  std::string_view Word(std::size_t i) const { return i < words_.size() ? words_[i] : std::string_view{}; }
  double Number(std::size_t i) const { return LenientNumber(Word(i)); }
  Outcome Statement(Op op);
  Outcome Assign(Op op);
  Outcome Condition(Op op);
  Outcome Jump();
  Outcome Command();

  std::vector<std::string> lines_;
  std::vector<std::string> written_;  // the same lines as written, for SHELL
  const ScriptArguments& args_;
  std::string name_;
  ScriptHost& host_;
  const Clock& clock_;
  RandomSource& random_;
  GlobalVariables& globals_;
  bool& stopping_;
  std::unique_ptr<LocalVariables> locals_;

  std::size_t n_ = 1;
  bool ifPending_ = false;
  bool thenLine_ = false;
  bool result_ = false;
  bool conditionRan_ = false;

  std::string text_;
  std::vector<std::string_view> words_;
  std::unique_ptr<std::unordered_map<std::string, std::size_t>> labels_;
};

bool Run::Substitute(const std::string& line) {
  text_.clear();
  if (line.find_first_of("[{<~") == std::string::npos) {
    text_ = line;
    return true;
  }
  // In IF<, IF<= and IF<> the "<" is a comparison sign, not a constant.
  const bool comparisonLine = line.compare(0, 3, "IF<") == 0;
  const std::size_t size = line.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char c = line[i];
    if (c == '<' && (i == 2 || comparisonLine)) {
      text_.push_back(c);
      continue;
    }
    if ((c == '[' || c == '{' || c == '<' || c == '~') && i + 1 < size && line[i + 1] == c) {
      text_.push_back(c);
      ++i;
      continue;
    }
    if (c == '~') {
      const char d = i + 1 < size ? line[i + 1] : '\0';
      if (d < '1' || d > '9') {
        Fail("!!! Command line variable '' is not defined at line ");
        return false;
      }
      text_ += args_[static_cast<std::size_t>(d - '1')];
      ++i;
      continue;
    }
    if (c != '[' && c != '{' && c != '<') {
      text_.push_back(c);
      continue;
    }
    const char close = c == '[' ? ']' : c == '{' ? '}' : '>';
    const std::size_t end = line.find(close, i + 1);
    if (end == std::string::npos || end == i + 1) {
      Fail(c == '[' ? "!!! Improper variable format at line "
                    : c == '{' ? "!!! Improper global variable format at line " : "!!! Improper constant format at line ");
      return false;
    }
    std::string name(line.data() + i + 1, end - i - 1);
    for (char& n : name) n = Upper(n);
    if (c == '<') {
      const std::optional<std::string> own = host_.Constant(name);
      const std::string value = own ? *own : LookupConstant(name, clock_, random_);
      if (value == "missing") {
        Fail("!!! Constant '" + std::string(name) + "' is not defined at line ");
        return false;
      }
      text_ += value;
    } else {
      const VariableTable::Entry* e = c == '[' ? locals_->Find(name) : globals_.Find(name);
      if (!e) {
        Fail((c == '[' ? "!!! Variable '" : "!!! Global Variable '") + std::string(name) + "' is not defined at line ");
        return false;
      }
      AppendValueText(text_, e->value);
    }
    i = end;
  }
  return true;
}

void Run::SplitWords() {
  words_.clear();
  const std::size_t size = text_.size();
  std::size_t i = 0;
  while (i < size && words_.size() < kMaxWords) {
    while (i < size && text_[i] == ' ') ++i;
    if (i >= size) break;
    const std::size_t start = i;
    while (i < size && text_[i] != ' ') ++i;
    words_.emplace_back(text_.data() + start, i - start);
  }
}

Run::Outcome Run::Assign(Op op) {
  const std::string_view keyword = Word(0);
  const std::string_view target = Word(1);
  if (target.empty() || (target[0] != '&' && target[0] != '*')) {
    Fail(op == Op::KillVar ? std::string("!!! Invalid use of the KILL command at line ")
                           : "!!! Improper " + std::string(keyword) + " format at line ");
    return Outcome::Failed;
  }
  const bool global = target[0] == '*';
  const std::string_view name = target.substr(1);
  if (name.empty()) {
    Fail("!!! Improper variable format at line ");
    return Outcome::Failed;
  }
  VariableTable& table = global ? globals_ : *locals_;
  if (op == Op::KillVar) {
    table.Kill(name);
    return Outcome::Next;
  }
  const double a = Number(2), b = Number(3);
  double v = 0;
  switch (op) {
    case Op::Set: v = a; break;
    case Op::Add: v = a + b; break;
    case Op::Sub: v = a - b; break;
    case Op::Mul: v = a * b; break;
    case Op::Div:
      if (b == 0) {
        Fail("!!! Error at line ");
        return Outcome::Failed;
      }
      v = a / b;
      break;
    case Op::Pwr: v = std::pow(a, b); break;
    case Op::Mod: {
      constexpr double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
      if (!(a >= lo - 0.5 && a <= hi + 0.5) || !(b >= lo - 0.5 && b <= hi + 0.5)) {
        Fail("!!! Error at line ");
        return Outcome::Failed;
      }
      const long long x = RoundHalfEven(a), y = RoundHalfEven(b);
      if (y == 0 || x < lo || x > hi || y < lo || y > hi) {
        Fail("!!! Error at line ");
        return Outcome::Failed;
      }
      v = static_cast<double>(x % y);
      break;
    }
    case Op::Sqr: v = std::sqrt(a); break;
    case Op::Abs: v = std::fabs(a); break;
    case Op::Sgn: v = a > 0 ? 1 : a < 0 ? -1 : 0; break;
    case Op::Sin: v = std::sin(a); break;
    case Op::Cos: v = std::cos(a); break;
    case Op::Tan: v = std::tan(a); break;
    case Op::Atn: v = std::atan(a); break;
    case Op::Int: v = std::floor(a); break;
    case Op::Fix: v = std::trunc(a); break;
    case Op::Ln: v = a > 0 ? std::log(a) : std::numeric_limits<double>::quiet_NaN(); break;
    case Op::Log: v = a > 0 ? std::log(a) / std::log(10.0) : std::numeric_limits<double>::quiet_NaN(); break;
    case Op::Exp: v = std::exp(a); break;
    case Op::Rnd: v = random_.Next(); break;
    default: break;
  }
  // Overflow, a root or logarithm out of range: a run-time failure of the statement.
  if (!std::isfinite(v)) {
    Fail("!!! Error at line ");
    return Outcome::Failed;
  }
  if (!table.Store(name, v)) {
    Fail(global ? "!!! Global variable stack is full at line " : "!!! Variable stack is full at line ");
    return Outcome::Failed;
  }
  return Outcome::Next;
}

Run::Outcome Run::Condition(Op op) {
  if (ifPending_) {
    Fail("!!! Embedded if statements are not allowed - error at line ");
    return Outcome::Failed;
  }
  const double a = Number(1), b = Number(2);
  bool r = false;
  switch (op) {
    case Op::IfEq: r = a == b; break;
    case Op::IfGt: r = a > b; break;
    case Op::IfLt: r = a < b; break;
    case Op::IfGe: r = a >= b; break;
    case Op::IfLe: r = a <= b; break;
    case Op::IfNe: r = a != b; break;
    default: r = std::fabs(a - b) <= Number(3); break;
  }
  ifPending_ = true;
  result_ = r;
  conditionRan_ = true;
  return Outcome::Next;
}

Run::Outcome Run::Jump() {
  if (!labels_) {
    // Built on the first jump: the first line whose text reads "LBL " + label wins.
    labels_ = std::make_unique<std::unordered_map<std::string, std::size_t>>();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& l = lines_[i];
      if (l.compare(0, 4, "LBL ") == 0) labels_->emplace(l.substr(0, l.size() - 1), i + 1);
    }
  }
  const std::string label(Word(1));
  const auto it = labels_->find("LBL " + label);
  if (it == labels_->end()) {
    Fail("!!! Label '" + label + "' is not defined - error at line ");
    return Outcome::Failed;
  }
  n_ = it->second;
  return Outcome::Jumped;
}

Run::Outcome Run::Command() {
  std::string line;
  const std::size_t count = std::min(words_.size(), kExecWords);
  for (std::size_t i = 0; i < count; ++i) {
    line += words_[i];
    line += ' ';
  }
  host_.Exec(line, " in " + name_ + " at line " + std::to_string(n_));
  return Outcome::Next;
}

Run::Outcome Run::Statement(Op op) {
  if (IsCondition(op)) return Condition(op);
  switch (op) {
    case Op::Jmp: return Jump();
    case Op::Lbl:
    case Op::Nothing: return Outcome::Next;
    case Op::End: return Outcome::End;
    case Op::Command: return Command();
    default: return Assign(op);
  }
}

void Run::Execute() {
  host_.LogProcessMessage("The script '" + name_ + "' has started");
  std::uint64_t statements = 0;
  while (n_ <= lines_.size()) {
    if (++statements % ScriptRunner::kEventInterval == 0) {
      host_.ProcessEvents();
      if (host_.StopRequested()) stopping_ = true;
    }
    if (stopping_) {
      Fail("!!! The script was stopped by the user at line ");
      return;
    }
    const std::string& stored = lines_[n_ - 1];
    if (!Substitute(KeepsWrittenCase(stored) && n_ - 1 < written_.size() ? written_[n_ - 1] : stored)) return;
    SplitWords();
    const Op op = Keyword(Word(0));
    conditionRan_ = false;
    const Outcome outcome = Statement(op);
    if (outcome == Outcome::Failed) return;
    if (outcome == Outcome::End) break;
    if (outcome == Outcome::Jumped) {
      // A jump leaves the condition state cleared (the label line itself counts as run).
      ifPending_ = thenLine_ = result_ = false;
    } else if (conditionRan_) {
      thenLine_ = true;
      if (!result_) ++n_;  // a false condition skips the then-line
    } else if (thenLine_) {
      const bool skipElse = result_;
      ifPending_ = thenLine_ = result_ = false;
      if (skipElse) ++n_;
    }
    if (stopping_) {
      Fail("!!! The script was stopped by the user at line ");
      return;
    }
    ++n_;
  }
  host_.LogProcessMessage("The script '" + name_ + "' is complete");
}

}  // namespace

std::vector<std::string> ReadScriptLines(std::string_view text, std::size_t maxLines,
                                         std::vector<std::string>* asWritten) {
  std::vector<std::string> lines;
  const std::size_t size = text.size();
  std::size_t pos = 0;
  while (pos < size && lines.size() < maxLines) {
    while (pos < size && IsBlank(text[pos])) ++pos;
    std::string_view field;
    if (pos < size && text[pos] == '"') {
      const std::size_t start = ++pos;
      while (pos < size && text[pos] != '"' && !IsLineEnd(text[pos])) ++pos;
      field = text.substr(start, pos - start);
      if (pos < size && text[pos] == '"') {
        ++pos;
        // Anything between the closing quote and the next separator is not part of the field.
        while (pos < size && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
      }
    } else {
      const std::size_t start = pos;
      while (pos < size && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
      field = text.substr(start, pos - start);
    }
    if (pos < size) {
      if (text[pos] == '\r') {
        ++pos;
        if (pos < size && text[pos] == '\n') ++pos;
      } else {
        ++pos;
      }
    }
    lines.push_back(StoredLine(field));
    if (asWritten) asWritten->push_back(StoredLine(field, false));
  }
  return lines;
}

ScriptRunner::ScriptRunner(ScriptHost& host, FileSystem& files, const Clock& clock, RandomSource& random,
                           GlobalVariables& globals)
    : host_(host), files_(files), clock_(clock), random_(random), globals_(globals) {}

void ScriptRunner::RunScript(const std::string& name, const ScriptArguments& arguments) {
  if (!files_.Exists("scripts")) files_.CreateFolder("scripts");
  std::string full = name;
  std::string tail = full.size() >= 4 ? full.substr(full.size() - 4) : full;
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (tail != ".nvs") full += ".nvs";

  const std::string path = files_.Resolve("scripts/" + full);
  if (!files_.Exists(path)) {
    host_.ShowMessage("The script '" + full + "' cannot be found");
    return;
  }
  // A script that runs itself, directly or through others, would otherwise nest until
  // the stack overflows.
  if (depth_ >= kMaxNesting) {
    host_.ShowMessage("!!! Scripts may nest at most " + std::to_string(kMaxNesting) +
                      " deep - not started in the script '" + full + "' - must end script !!!");
    return;
  }
  const std::optional<std::string> text = files_.ReadAll(path);
  if (!text) {
    host_.ShowMessage("The script '" + full + "' cannot be found");
    return;
  }
  ++depth_;
  {
    std::vector<std::string> written;
    std::vector<std::string> lines = ReadScriptLines(*text, kMaxLines, &written);
    Run run(std::move(lines), std::move(written), arguments, full, host_, clock_, random_, globals_, stopping_);
    run.Execute();
  }
  --depth_;
  if (depth_ == 0) stopping_ = false;
}

std::vector<std::string> ListScripts(const FileSystem& files) { return files.List("scripts", "*.*"); }

std::string ScriptRunCommand(std::string_view entry, std::string_view argument) {
  return TrimBlanks("r " + std::string(entry) + " " + std::string(argument));
}

std::string ScriptRedrawCommand(std::string_view entry, std::string_view argument) {
  return "redraw add " + ScriptRunCommand(entry, argument);
}

}  // namespace norvane
