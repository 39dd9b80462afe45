#include "editor/qvnotificationreciever.hpp"

#include <cstring>

#include "toolkit/cnewfileselector.hpp"

CMessageResult qvnotificationreciever::notify(CBaseObject* sender, IdStringPtr message) {
  if (message && std::strcmp(message, CNewFileSelector::kSelectEndMessage) == 0 &&
      dynamic_cast<CNewFileSelector*>(sender))
    ++endMessages;
  return kMessageNotified;
}
