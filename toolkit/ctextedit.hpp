// A one-line text field. A press gives it the keyboard and puts the caret at the
// press; typing inserts at the caret, Backspace and Delete remove a character,
// Left, Right, Home and End move the caret, Enter commits and Escape restores the
// text the editing began with. Losing the keyboard commits too. A commit tells
// the listener (whose getText() reads the result). The text scrolls sideways so
// the caret stays inside the field; nothing is drawn outside it.
#pragma once
#include <string>

#include "toolkit/ctextlabel.hpp"

class CTextEdit : public CTextLabel {
public:
  static constexpr uint32_t kCaretBlinkMs = 500;  // half period of the caret's blink

  CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const std::string& text = "",
            CBitmap* background = nullptr, int32_t style = 0);

  // Longest text in bytes (-1: no limit); typing beyond is refused.
  void setMaxLength(int32_t bytes) { maxLength_ = bytes; }
  bool isEditing() const { return editing_; }
  // Caret position, a byte index into the text.
  size_t getCaret() const { return caret_; }

  void setText(const std::string& text) override;
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(const CKeyCode& key) override;
  void onIdle() override;
  void takeFocus() override;
  void looseFocus() override;
  bool isTypeOf(IdStringPtr name) const override;

private:
  CCoord widthOf(const std::string& text) const;
  CCoord innerWidth() const;
  void keepCaretVisible();
  void caretMoved();
  void endEditing(bool commit);

  std::string original_;      // the text when editing began
  size_t caret_ = 0;          // byte index
  CCoord scroll_ = 0;         // pixels the text is shifted left while editing
  int32_t maxLength_ = -1;    // bytes
  uint32_t caretEpoch_ = 0;   // ms when the caret last moved (it shows at once)
  bool caretShown_ = true;
  bool editing_ = false;
  bool ending_ = false;       // Escape or Enter is giving the keyboard back
};
