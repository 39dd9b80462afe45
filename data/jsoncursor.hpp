// A document node tree with a cursor: the one root node the cursor owns, a stack
// of 36 node references (entry 0 starts as the root) and a depth. The current
// container is stack entry `depth`. Loaders walk a tree with the reader
// operations, savers build one with the writer operations (the qvdocwriter that
// units serialise into). Every number is held as a double.
//
// Stack entries point into the tree. Only the current container is ever
// changed, so the entries below it stay valid; anything that replaces the root
// rewinds the cursor.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "data/jsontext.hpp"
#include "data/qvdocwriter.hpp"
#include "data/qvstring.hpp"

class qvjsoncursor final : public qvdocwriter {
public:
  static constexpr uint32_t kStackEntries = 36;  // so at most 35 levels below entry 0

  qvjsoncursor();  // root: an empty object
  qvjsoncursor(const qvjsoncursor&) = delete;
  qvjsoncursor& operator=(const qvjsoncursor&) = delete;

  // ---- the root ----
  const qvjsonnode& root() const { return root_; }
  // [any] Depth 0 with entry 0 on the root.
  void rewind();
  // [any] The root becomes an empty object; rewinds.
  void clearRoot();
  // [any] The root becomes `node`; rewinds.
  void setRoot(qvjsonnode node);
  // [any] Reads a document text into the root (kDocOk, kDocTooShort or
  // kDocParseFailed); the root is untouched on failure. Rewinds on success.
  int parse(std::string_view text);
  // [any] Compact text of the root ("" for a root that is not a container).
  qvstring text() const { return writeJsonText(root_); }
  // [any] `target`'s root becomes a copy of this cursor's current container;
  // `target` rewinds. `target` may be this cursor.
  void copyCurrentTo(qvjsoncursor& target) const;
  // Hands the current node over to `target`, leaving null in its place: for a
  // reader whose tree is thrown away once read, this saves a deep copy.
  void moveCurrentTo(qvjsoncursor& target);

  uint32_t depth() const { return depth_; }
  const qvjsonnode& current() const { return *stack_[depth_]; }
  bool currentIsObject() const { return current().is_object(); }
  bool currentIsArray() const { return current().is_array(); }

  // ---- writing into the current container ----
  // Selects the top-level array `name` of the root object, appending an empty one
  // at the end when absent: entry 0 becomes that array, depth 0. False (cursor
  // rewound to the root) when the root is not an object or `name` holds no array.
  bool selectArray(const char* name);
  // A new last child of the current container becomes current. Named members
  // replace a member of the same name (which moves to the end); inside arrays the
  // name is ignored. Refused (false) when the depth would reach 36: members written
  // until the matching close() are dropped, so they never land in the parent.
  bool openObject(const char* name) override;
  bool openArray(const char* name) override;
  void addInt(const char* name, int32_t v) override;
  void addNumber(const char* name, float v) override;  // NaN and infinities are written as 0
  void addBool(const char* name, bool v) override;
  void addString(const char* name, const qvstring& v) override;
  // A copy of `node` (say, another cursor's root) as a new last child; false when
  // there is nowhere to put it.
  bool addCopy(const char* name, const qvjsonnode& node);
  // Leaves the current container; never below depth 0.
  void close() override;

  // ---- reading the current container ----
  // Whether the current object has member `name` (arrays have no names).
  bool has(const char* name) const;
  // Makes member `name` / element `index` current. False when absent, not an
  // object or array, or the stack is full.
  bool enter(const char* name);
  bool enterAt(uint32_t index);
  // Members of the current object or elements of the current array.
  uint32_t count() const;
  // Each stores the member's value into `out` and returns true when it is present;
  // `out` is untouched otherwise. Conversions: a number read as an integer is
  // truncated toward zero (saturated to the int32 range, NaN reads 0), a string
  // holding a number reads as that number, a boolean reads as 0 or 1.
  bool getInt(const char* name, int32_t& out) const;
  bool getNumber(const char* name, float& out) const;
  bool getBool(const char* name, bool& out) const;
  bool getString(const char* name, qvstring& out) const;
  bool getIntAt(uint32_t index, int32_t& out) const;
  bool getNumberAt(uint32_t index, float& out) const;
  bool getBoolAt(uint32_t index, bool& out) const;
  bool getStringAt(uint32_t index, qvstring& out) const;
  // Removes member `name` of the current object; false when absent.
  bool erase(const char* name);

private:
  const qvjsonnode* member(const char* name) const;
  const qvjsonnode* element(uint32_t index) const;
  bool push(qvjsonnode* node);
  qvjsonnode* add(const char* name, qvjsonnode&& value);
  bool open(const char* name, qvjsonnode&& container);

  qvjsonnode root_;                                 // the owned document node
  std::array<qvjsonnode*, kStackEntries> stack_{};  // entry 0 .. depth_: open containers
  uint32_t depth_ = 0;                              // index of the current container
  uint32_t refused_ = 0;                            // writer openings refused and not yet closed
};

// Keeps a cursor at depth 0 around a walk: rewound on entry and on every path
// out, early returns included.
class qvcursorrewind {
public:
  explicit qvcursorrewind(qvjsoncursor& c) : c_(c) { c_.rewind(); }
  ~qvcursorrewind() { c_.rewind(); }
  qvcursorrewind(const qvcursorrewind&) = delete;
  qvcursorrewind& operator=(const qvcursorrewind&) = delete;

private:
  qvjsoncursor& c_;
};

// Conversions of one node, as the reader operations apply them.
double jsonNodeNumber(const qvjsonnode& n);
int32_t jsonNodeInt(const qvjsonnode& n);
bool jsonNodeBool(const qvjsonnode& n);
qvstring jsonNodeString(const qvjsonnode& n);
