// Parameter model: one setting seen three ways, the normalised position fpos
// (0..1, what knobs set and documents store), the engine value x/xi (what the
// processing code reads) and the display value u. Five types differ only in how
// the three are tied together; nothing clamps, positions outside 0..1 extrapolate.
#pragma once
#include <cstdint>
#include <memory>

#include "data/qvlist.hpp"
#include "data/qvstring.hpp"

// Descriptor of one parameter, as a document stores it.
struct qvparamrecord {
  float defa = 0;        // default, in engine units (applied with setValue)
  int32_t type = 1;      // 1..5, see createParam
  float xscale = 1;      // span of the engine value
  float xlow = 0;        // engine value at position 0
  float uscale = 1;      // span of the display value
  float ulow = 0;        // display value at position 0
  int32_t pind = 0;      // index in the unit's parameter list
  bool setvis = false;   // shown as a control on the unit's panel
  int32_t posx = -1;     // panel placement; -1 = automatic
  int32_t posy = -1;
  int32_t posmode = 0;
  qvstring nametag;      // the control's label
};

// Linear parameter (type 1); the base of the other four.
class qvparam {
public:
  virtual ~qvparam() = default;
  // Engine value: x for types 1..3, xi as float for types 4 and 5.
  virtual float getValue() const { return x; }
  virtual void setNormalized(float f);
  virtual void setValue(float v);
  virtual int getType() const { return 1; }

  float x = 0;        // engine value (types 1..3)
  int32_t xi = 0;     // integer engine value (types 4, 5)
  float fpos = 0;     // normalised position
  float xscale = 1;
  float xlow = 0;
  float uscale = 1;
  float ulow = 0;
  float u = 0;        // display value
};

// Exponential taper of ratio 30; the display follows the taper (type 2).
class qvparamexp : public qvparam {
public:
  void setNormalized(float f) override;
  void setValue(float v) override;
  int getType() const override { return 2; }
};

// Exponential taper; the display follows the position (type 3).
class qvparamexpdial : public qvparam {
public:
  void setNormalized(float f) override;
  void setValue(float v) override;
  int getType() const override { return 3; }
};

// Switch: on only at position 1.0 or above (type 4).
class qvparambool : public qvparam {
public:
  float getValue() const override { return static_cast<float>(xi); }
  void setNormalized(float f) override;
  void setValue(float v) override;
  int getType() const override { return 4; }
};

// Stepped: xscale steps starting at xlow; the end of travel stays on the last step (type 5).
class qvparamnumer : public qvparam {
public:
  float getValue() const override { return static_cast<float>(xi); }
  void setNormalized(float f) override;
  void setValue(float v) override;
  int getType() const override { return 5; }
};

// Exponential taper E(f) = (10^(f·log10 30) − 1) / 29 and its inverse, with the
// single-precision rounding of every intermediate.
float expTaper(float f);
float expTaperInverse(float t);

// Float to int32 truncating toward zero; saturates instead of overflowing, NaN gives 0.
int32_t truncToInt(float v);

// [any] Type 1..4 make their class, every other type a stepped parameter.
std::unique_ptr<qvparam> createParam(int type, float defa, float xscale, float xlow,
                                     float uscale, float ulow);

// [any] Appends a record with these values (posx, posy -1, posmode 0) to records and
// returns the matching object at its default; the caller appends the object.
std::unique_ptr<qvparam> createParamWithRecord(int type, float defa, float xscale, float xlow,
                                               float uscale, float ulow, int pind,
                                               qvlist<qvparamrecord>& records,
                                               const qvstring& name, bool setvis);

// [any] The object a record describes, set to the record's default.
std::unique_ptr<qvparam> createParamFromRecord(const qvparamrecord& r);
