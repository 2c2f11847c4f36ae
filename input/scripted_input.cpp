#include "input/scripted_input.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/utf8.h"

namespace nv::input {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits off the next blank-separated word.
std::string_view next_word(std::string_view& s) {
  s = trim(s);
  size_t end = 0;
  while (end < s.size() && !is_blank(s[end])) ++end;
  std::string_view w = s.substr(0, end);
  s.remove_prefix(end);
  return w;
}

bool parse_int(std::string_view w, int64_t& v) {
  if (w.empty()) return false;
  const char* first = w.data();
  if (*first == '+') ++first;
  auto r = std::from_chars(first, w.data() + w.size(), v);
  return r.ec == std::errc() && r.ptr == w.data() + w.size();
}

bool parse_int32(std::string_view w, int& v) {
  int64_t x = 0;
  if (!parse_int(w, x) || x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max()) return false;
  v = static_cast<int>(x);
  return true;
}

std::string upper(std::string_view w) {
  std::string u(w);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

bool valid_utf8(std::string_view s) {
  char32_t cp;
  for (size_t i = 0; i < s.size();)
    if (!platform::next_utf8(s, i, cp)) return false;
  return true;
}

struct LineParser {
  const KeyNameLookup& key_of;
  std::string what;  // the error of the line, empty when it is well formed

  bool fail(std::string message) {
    what = std::move(message);
    return false;
  }

  bool key(std::string_view w, int& vk) {
    if (w.empty()) return fail("a key name or virtual-key number is missing");
    int64_t n = 0;
    if (parse_int(w, n)) {
      if (n < 1 || n > 255) return fail("virtual-key number " + std::string(w) + " is not between 1 and 255");
      vk = static_cast<int>(n);
      return true;
    }
    const int found = key_of ? key_of(upper(w)) : -1;
    if (found < 1 || found > 255) return fail("unknown key \"" + std::string(w) + "\"");
    vk = found;
    return true;
  }

  bool down_up(std::string_view w, bool& down) {
    if (w == "down") down = true;
    else if (w == "up") down = false;
    else return fail("expected down or up, not \"" + std::string(w) + "\"");
    return true;
  }

  bool point(std::string_view& rest, int& x, int& y) {
    std::string_view wx = next_word(rest), wy = next_word(rest);
    if (!parse_int32(wx, x) || !parse_int32(wy, y)) return fail("expected two whole numbers X Y");
    return true;
  }

  bool done(std::string_view rest) {
    rest = trim(rest);
    if (!rest.empty() && rest.front() != '#') return fail("unexpected \"" + std::string(rest) + "\" after the event");
    return true;
  }

  // Parses the words after the frame number into one or more events.
  bool parse(std::string_view rest, ScriptedEvent base, std::vector<ScriptedEvent>& out) {
    std::string_view verb = next_word(rest);
    ScriptedEvent ev = base;
    if (verb == "key") {
      ev.kind = ScriptedKind::key;
      if (!down_up(next_word(rest), ev.down) || !key(next_word(rest), ev.vk) || !done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "press") {
      ev.kind = ScriptedKind::key;
      if (!key(next_word(rest), ev.vk) || !done(rest)) return false;
      if (ev.frame == std::numeric_limits<int64_t>::max()) return fail("frame number too large");
      ev.down = true;
      out.push_back(ev);
      ev.down = false;
      ++ev.frame;
      out.push_back(ev);
    } else if (verb == "mouse") {
      ev.kind = ScriptedKind::mouse;
      if (!point(rest, ev.x, ev.y) || !done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "button") {
      ev.kind = ScriptedKind::button;
      if (!down_up(next_word(rest), ev.down)) return false;
      std::string_view b = next_word(rest);
      if (b == "left") ev.vk = 1;
      else if (b == "right") ev.vk = 2;
      else if (b == "middle") ev.vk = 4;
      else return fail("expected left, right or middle, not \"" + std::string(b) + "\"");
      if (!done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "click") {
      ev.kind = ScriptedKind::mouse;
      if (!point(rest, ev.x, ev.y) || !done(rest)) return false;
      out.push_back(ev);
      ev.kind = ScriptedKind::button;
      ev.vk = 1;
      ev.down = true;
      out.push_back(ev);
      ev.down = false;
      out.push_back(ev);
    } else if (verb == "wheel") {
      ev.kind = ScriptedKind::wheel;
      std::string_view n = next_word(rest);
      if (!parse_int32(n, ev.wheel) || ev.wheel == 0 || ev.wheel < -1000 || ev.wheel > 1000)
        return fail("expected a number of notches (up positive, not 0), not \"" + std::string(n) + "\"");
      if (!done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "type") {
      ev.kind = ScriptedKind::type;
      rest = trim(rest);
      if (!valid_utf8(rest)) return fail("the text is not UTF-8");
      ev.text = std::string(rest);
      out.push_back(ev);
    } else if (verb == "answer") {
      ev.kind = ScriptedKind::answer;
      std::string_view a = next_word(rest);
      if (a == "yes") ev.answer = ScriptedAnswer::yes;
      else if (a == "no") ev.answer = ScriptedAnswer::no;
      else if (a == "ok") ev.answer = ScriptedAnswer::ok;
      else if (a == "cancel") ev.answer = ScriptedAnswer::cancel;
      else return fail("expected yes, no, ok or cancel, not \"" + std::string(a) + "\"");
      if (!done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "menu") {
      ev.kind = ScriptedKind::menu;
      std::string_view c = next_word(rest);
      if (!parse_int(c, ev.code) || ev.code < 0) return fail("expected a menu CODE of 0 or more, not \"" + std::string(c) + "\"");
      if (!done(rest)) return false;
      out.push_back(ev);
    } else if (verb == "close") {
      ev.kind = ScriptedKind::close;
      if (!done(rest)) return false;
      out.push_back(ev);
    } else if (verb.empty()) {
      return fail("an event is missing after the frame number");
    } else {
      return fail("unknown event \"" + std::string(verb) + "\"");
    }
    return true;
  }
};

}  // namespace

bool parse_scripted_input(std::string_view text, std::string_view source_name, const KeyNameLookup& key_of,
                          ScriptedInput& out, std::string& error) {
  out = ScriptedInput{};
  LineParser p{key_of, {}};
  int line_no = 0;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++line_no;
    std::string_view rest = trim(line);
    if (rest.empty() || rest.front() == '#') continue;
    std::string_view frame_word = next_word(rest);
    ScriptedEvent base;
    base.line = line_no;
    if (!parse_int(frame_word, base.frame) || base.frame < 1) {
      p.what = "expected a frame number of 1 or more, not \"" + std::string(frame_word) + "\"";
    } else {
      p.what.clear();
      p.parse(rest, base, out.events);
    }
    if (!p.what.empty()) {
      error = std::string(source_name) + ":" + std::to_string(line_no) + ": " + p.what;
      out = ScriptedInput{};
      return false;
    }
  }
  std::stable_sort(out.events.begin(), out.events.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
  return true;
}

std::vector<ScriptedEvent> take_due_events(ScriptedInput& in, int64_t frame) {
  std::vector<ScriptedEvent> due;
  while (in.next < in.events.size() && in.events[in.next].frame <= frame) due.push_back(in.events[in.next++]);
  return due;
}

}  // namespace nv::input
