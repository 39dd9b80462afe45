#include "data/qvlist.hpp"

void qvlistIndexError(uint64_t index, uint64_t length) {
  throw std::out_of_range("array: attempting to access element:" + std::to_string(index) +
                          " in array of length:" + std::to_string(length));
}
