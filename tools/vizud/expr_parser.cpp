#include "tools/vizud/expr_parser.h"

#include "platform/encoding.h"

namespace nv::vizud {

namespace {
constexpr int kMaxDepth = 200;
}

int binary_precedence(const std::string& op) {
  if (op == "||") return 1;
  if (op == "&&") return 2;
  if (op == "|") return 3;
  if (op == "^") return 4;
  if (op == "&") return 5;
  if (op == "==" || op == "!=") return 6;
  if (op == "<" || op == ">" || op == "<=" || op == ">=") return 7;
  if (op == "+" || op == "-") return 8;
  if (op == "*" || op == "/" || op == "%") return 9;
  return 0;
}

bool ExprParser::fail(size_t offset, std::string msg) {
  if (error_ && error_->message.empty()) *error_ = ParseError{offset, std::move(msg)};
  return false;
}

int ExprParser::parse(ParseError& error) {
  error_ = &error;
  depth_ = 0;
  return parse_binary(1);
}

int ExprParser::parse_binary(int min_prec) {
  int left = parse_unary();
  if (left < 0) return -1;
  for (;;) {
    const Token& t = peek();
    if (t.kind != Tok::kPunct) break;
    int prec = binary_precedence(t.text);
    if (prec == 0 || prec < min_prec) break;
    Node n;
    n.kind = NodeKind::kBinary;
    n.op = t.text;
    n.offset = t.offset;
    n.length = t.length;
    ++pos_;
    int right = parse_binary(prec + 1);
    if (right < 0) return -1;
    arena_[left].next = right;
    n.first = left;
    left = arena_.add(std::move(n));
  }
  return left;
}

int ExprParser::parse_unary() {
  if (++depth_ > kMaxDepth) {
    fail(peek().offset, "expression is nested too deeply");
    return -1;
  }
  const Token& t = peek();
  int result;
  if (t.kind == Tok::kPunct && (t.text == "-" || t.text == "+" || t.text == "!" || t.text == "~")) {
    Node n;
    n.kind = NodeKind::kUnary;
    n.op = t.text;
    n.offset = t.offset;
    n.length = t.length;
    ++pos_;
    int operand = parse_unary();
    if (operand < 0) return -1;
    n.first = operand;
    n.length = arena_[operand].offset + arena_[operand].length - n.offset;
    result = arena_.add(std::move(n));
  } else {
    int base = parse_primary();
    result = base < 0 ? -1 : parse_postfix(base);
  }
  --depth_;
  return result;
}

int ExprParser::parse_primary() {
  const Token& t = peek();
  Node n;
  n.offset = t.offset;
  n.length = t.length;
  switch (t.kind) {
    case Tok::kInt:
      n.kind = NodeKind::kInt;
      n.int_value = t.int_value;
      ++pos_;
      return arena_.add(std::move(n));
    case Tok::kFloat:
      n.kind = NodeKind::kFloat;
      n.float_value = t.float_value;
      ++pos_;
      return arena_.add(std::move(n));
    case Tok::kString:
      n.kind = NodeKind::kString;
      n.text = t.text;
      ++pos_;
      return arena_.add(std::move(n));
    case Tok::kIdent:
      n.kind = NodeKind::kName;
      n.text = t.text;
      ++pos_;
      return arena_.add(std::move(n));
    case Tok::kPunct:
      if (t.text == "(") {
        ++pos_;
        ParseError* err = error_;
        int inner = parse_binary(1);
        if (inner < 0) return -1;
        if (peek().kind != Tok::kPunct || peek().text != ")") {
          fail(peek().offset, "\")\" expected");
          return -1;
        }
        ++pos_;
        (void)err;
        return inner;
      }
      if (t.text == "*" && toks_[pos_ + 1].kind == Tok::kIdent &&
          toks_[pos_ + 1].offset == t.offset + 1) {
        n.kind = NodeKind::kLabel;
        n.text = toks_[pos_ + 1].text;
        n.length = 1 + toks_[pos_ + 1].length;
        pos_ += 2;
        return arena_.add(std::move(n));
      }
      if (t.text == "=") {
        fail(t.offset, "\"=\" is not an operator here: compare with \"==\"");
        return -1;
      }
      break;
    case Tok::kEnd:
      fail(t.offset, "expression expected at the end of the line");
      return -1;
  }
  fail(t.offset, "expression expected before \"" + platform::sjis_to_utf8(t.text) + "\"");
  return -1;
}

int ExprParser::parse_postfix(int base) {
  for (;;) {
    const Token& t = peek();
    if (t.kind != Tok::kPunct) return base;
    if (t.text == "[" && (arena_[base].kind == NodeKind::kName || arena_[base].kind == NodeKind::kIndex)) {
      // a[i][j] and a[i, j] both give one index node with all the indexes.
      int node = base;
      if (arena_[base].kind == NodeKind::kName) {
        Node n;
        n.kind = NodeKind::kIndex;
        n.offset = arena_[base].offset;
        n.length = arena_[base].length;
        n.first = base;
        node = arena_.add(std::move(n));
      }
      int last = arena_[node].first;
      while (arena_[last].next >= 0) last = arena_[last].next;
      ++pos_;
      for (;;) {
        int idx = parse_binary(1);
        if (idx < 0) return -1;
        arena_[last].next = idx;
        last = idx;
        if (peek().kind == Tok::kPunct && peek().text == ",") {
          ++pos_;
          continue;
        }
        break;
      }
      if (peek().kind != Tok::kPunct || peek().text != "]") {
        fail(peek().offset, "\"]\" expected after the index");
        return -1;
      }
      arena_[node].length = peek().offset + 1 - arena_[node].offset;
      ++pos_;
      base = node;
      continue;
    }
    if (t.text == "(" && arena_[base].kind == NodeKind::kName) {
      Node& name = arena_[base];
      name.kind = NodeKind::kCall;
      ++pos_;
      int last = -1;
      if (!(peek().kind == Tok::kPunct && peek().text == ")")) {
        for (;;) {
          int arg = parse_binary(1);
          if (arg < 0) return -1;
          if (last < 0) arena_[base].first = arg;
          else arena_[last].next = arg;
          last = arg;
          if (peek().kind == Tok::kPunct && peek().text == ",") {
            ++pos_;
            continue;
          }
          break;
        }
      }
      if (peek().kind != Tok::kPunct || peek().text != ")") {
        fail(peek().offset, "\")\" expected after the function's arguments");
        return -1;
      }
      arena_[base].length = peek().offset + 1 - arena_[base].offset;
      ++pos_;
      continue;
    }
    return base;
  }
}

}  // namespace nv::vizud
