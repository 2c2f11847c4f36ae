// Parsed infix expressions: nodes in one arena per statement, children
// linked by index so that parsing a line allocates nothing once warm.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nv::vizud {

enum class NodeKind : uint8_t {
  kInt,     // int_value
  kFloat,   // float_value
  kString,  // text (Shift-JIS)
  kLabel,   // *name: text is the label name; a text value
  kName,    // a variable: text
  kIndex,   // first child: the kName node; following children: the indexes
  kUnary,   // op: "-", "+", "!", "~"; one child
  kBinary,  // op; two children
  kCall,    // text: function name; children: the arguments
};

struct Node {
  NodeKind kind = NodeKind::kInt;
  std::string op;     // operator spelling for kUnary / kBinary
  std::string text;
  int64_t int_value = 0;
  double float_value = 0;
  size_t offset = 0;  // byte offset in the source line (for messages)
  size_t length = 0;  // byte length of the spelling
  int first = -1;     // first child
  int next = -1;      // next sibling
};

struct ExprArena {
  std::vector<Node> nodes;
  int add(Node n) {
    nodes.push_back(std::move(n));
    return static_cast<int>(nodes.size()) - 1;
  }
  Node& operator[](int i) { return nodes[static_cast<size_t>(i)]; }
  const Node& operator[](int i) const { return nodes[static_cast<size_t>(i)]; }
  void clear() { nodes.clear(); }
  // Children of `i` in order.
  std::vector<int> children(int i) const {
    std::vector<int> out;
    for (int c = (*this)[i].first; c >= 0; c = (*this)[c].next) out.push_back(c);
    return out;
  }
};

}  // namespace nv::vizud
