// Receives the file selector's end message. The editor runs the selector modally
// and reads the chosen path itself once runModal returns, so there is nothing to
// do here but to acknowledge every message.
#pragma once
#include "toolkit/cbaseobject.hpp"

class qvnotificationreciever final : public CBaseObject {
public:
  CMessageResult notify(CBaseObject* sender, IdStringPtr message) override;
  int endMessages = 0;  // file selector end messages seen
};
