// The reference-counted base of views, bitmaps and menu items, and the receiver
// of notifications. An object starts with one reference, held by whoever made it;
// handing it to an owner (a container, a view's background) passes or adds a
// reference, and the last forget() deletes it.
#pragma once
#include <cstdint>

#include "toolkit/events.hpp"

class CBaseObject {
public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;
  virtual ~CBaseObject() = default;

  // [ui] One more owner.
  void remember() { ++refs_; }
  // [ui] One owner less; the last one deletes the object.
  void forget() {
    if (--refs_ == 0) delete this;
  }
  int32_t getNbReference() const { return refs_; }

  // [ui] A message from `sender` (for example the file selector's end message).
  virtual CMessageResult notify(CBaseObject* sender, IdStringPtr message) {
    (void)sender;
    (void)message;
    return kMessageUnknown;
  }

private:
  int32_t refs_ = 1;  // owners
};
