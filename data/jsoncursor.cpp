#include "data/jsoncursor.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

qvjsoncursor::qvjsoncursor() : root_(qvjsonnode::object()) { rewind(); }

void qvjsoncursor::rewind() {
  stack_[0] = &root_;
  depth_ = 0;
  refused_ = 0;
}

void qvjsoncursor::clearRoot() { setRoot(qvjsonnode::object()); }

void qvjsoncursor::setRoot(qvjsonnode node) {
  root_ = std::move(node);
  rewind();
}

int qvjsoncursor::parse(std::string_view text) {
  const int code = parseDocumentText(text, root_);
  if (code == kDocOk) rewind();
  return code;
}

void qvjsoncursor::copyCurrentTo(qvjsoncursor& target) const {
  target.setRoot(current());  // copied before the target's root is replaced
}

void qvjsoncursor::moveCurrentTo(qvjsoncursor& target) {
  qvjsonnode node = std::move(*stack_[depth_]);
  *stack_[depth_] = qvjsonnode();
  target.setRoot(std::move(node));
}

// ---- writing ----

bool qvjsoncursor::selectArray(const char* name) {
  rewind();
  if (!name || !root_.is_object()) return false;
  auto it = root_.find(name);
  if (it == root_.end()) {
    stack_[0] = &(root_[name] = qvjsonnode::array());
    return true;
  }
  if (!it->is_array()) return false;
  stack_[0] = &*it;
  return true;
}

qvjsonnode* qvjsoncursor::add(const char* name, qvjsonnode&& value) {
  if (refused_ > 0) return nullptr;
  qvjsonnode& c = *stack_[depth_];
  if (c.is_array()) {
    c.push_back(std::move(value));
    return &c.back();
  }
  if (!c.is_object() || !name) return nullptr;
  c.erase(name);  // a member written again becomes the last one
  return &(c[name] = std::move(value));
}

bool qvjsoncursor::open(const char* name, qvjsonnode&& container) {
  if (refused_ > 0 || depth_ + 1 >= kStackEntries) {
    ++refused_;
    return false;
  }
  qvjsonnode* child = add(name, std::move(container));
  if (!child) {
    ++refused_;  // nowhere to put it: drop it with its members
    return false;
  }
  stack_[++depth_] = child;
  return true;
}

bool qvjsoncursor::openObject(const char* name) { return open(name, qvjsonnode::object()); }
bool qvjsoncursor::openArray(const char* name) { return open(name, qvjsonnode::array()); }

void qvjsoncursor::addInt(const char* name, int32_t v) { add(name, qvjsonnode(static_cast<double>(v))); }

void qvjsoncursor::addNumber(const char* name, float v) {
  add(name, qvjsonnode(std::isfinite(v) ? static_cast<double>(v) : 0.0));
}

void qvjsoncursor::addBool(const char* name, bool v) { add(name, qvjsonnode(v)); }
void qvjsoncursor::addString(const char* name, const qvstring& v) { add(name, qvjsonnode(v)); }

bool qvjsoncursor::addCopy(const char* name, const qvjsonnode& node) {
  return add(name, qvjsonnode(node)) != nullptr;
}

void qvjsoncursor::close() {
  if (refused_ > 0) {
    --refused_;
  } else if (depth_ > 0) {
    --depth_;
  }
}

// ---- reading ----

const qvjsonnode* qvjsoncursor::member(const char* name) const {
  const qvjsonnode& c = current();
  if (!name || !c.is_object()) return nullptr;
  auto it = c.find(name);
  return it == c.end() ? nullptr : &*it;
}

const qvjsonnode* qvjsoncursor::element(uint32_t index) const {
  const qvjsonnode& c = current();
  if (!c.is_array() || index >= c.size()) return nullptr;
  return &c[index];
}

bool qvjsoncursor::push(qvjsonnode* node) {
  if (!node || !node->is_structured() || depth_ + 1 >= kStackEntries) return false;
  stack_[++depth_] = node;
  return true;
}

bool qvjsoncursor::has(const char* name) const { return member(name) != nullptr; }
bool qvjsoncursor::enter(const char* name) { return push(const_cast<qvjsonnode*>(member(name))); }
bool qvjsoncursor::enterAt(uint32_t index) { return push(const_cast<qvjsonnode*>(element(index))); }

uint32_t qvjsoncursor::count() const {
  const qvjsonnode& c = current();
  return c.is_structured() ? static_cast<uint32_t>(c.size()) : 0;
}

namespace {
template <class T, class F>
bool readInto(const qvjsonnode* n, T& out, F convert) {
  if (!n) return false;
  out = convert(*n);
  return true;
}

float toFloat(const qvjsonnode& n) {
  const double d = jsonNodeNumber(n);
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(d > kMax ? kMax : d < -kMax ? -kMax : d);
}
}  // namespace

bool qvjsoncursor::getInt(const char* name, int32_t& out) const { return readInto(member(name), out, jsonNodeInt); }
bool qvjsoncursor::getNumber(const char* name, float& out) const { return readInto(member(name), out, toFloat); }
bool qvjsoncursor::getBool(const char* name, bool& out) const { return readInto(member(name), out, jsonNodeBool); }
bool qvjsoncursor::getString(const char* name, qvstring& out) const {
  return readInto(member(name), out, jsonNodeString);
}
bool qvjsoncursor::getIntAt(uint32_t i, int32_t& out) const { return readInto(element(i), out, jsonNodeInt); }
bool qvjsoncursor::getNumberAt(uint32_t i, float& out) const { return readInto(element(i), out, toFloat); }
bool qvjsoncursor::getBoolAt(uint32_t i, bool& out) const { return readInto(element(i), out, jsonNodeBool); }
bool qvjsoncursor::getStringAt(uint32_t i, qvstring& out) const {
  return readInto(element(i), out, jsonNodeString);
}

bool qvjsoncursor::erase(const char* name) {
  qvjsonnode& c = *stack_[depth_];
  return name && c.is_object() && c.erase(name) > 0;
}

// ---- conversions ----

double jsonNodeNumber(const qvjsonnode& n) {
  double d = 0;
  if (n.is_number()) {
    d = n.get<double>();
  } else if (n.is_boolean()) {
    d = n.get<bool>() ? 1 : 0;
  } else if (n.is_string()) {
    // The longest leading number, as text-to-number conversions read it.
    const auto& s = n.get_ref<const qvjsonnode::string_t&>();
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p < end && *p == '+') ++p;
    std::from_chars(p, end, d);
  }
  return std::isfinite(d) ? d : 0.0;
}

int32_t jsonNodeInt(const qvjsonnode& n) {
  const double d = std::trunc(jsonNodeNumber(n));
  if (d >= 2147483647.0) return INT32_MAX;
  if (d <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(d);
}

bool jsonNodeBool(const qvjsonnode& n) {
  if (n.is_boolean()) return n.get<bool>();
  if (n.is_string() && n.get_ref<const qvjsonnode::string_t&>() == "true") return true;
  return jsonNodeNumber(n) != 0.0;
}

qvstring jsonNodeString(const qvjsonnode& n) {
  if (n.is_string()) return n.get<qvstring>();
  if (n.is_boolean()) return n.get<bool>() ? "true" : "false";
  qvstring out;
  if (n.is_number()) appendJsonNumber(out, n.get<double>());
  return out;
}
