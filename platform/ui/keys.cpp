#include "platform/ui/keys.h"

#include <QGuiApplication>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, WORD>, 30> kNamedKeys{{
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Pause, VK_PAUSE},   {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE},   {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},  {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},      {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},      {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    // The shifted and unshifted characters of one main-keyboard key share its code.
    {Qt::Key_Equal, VK_OEM_PLUS}, {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Clear, VK_CLEAR},
}};

// The pad's operators and their characters.
constexpr std::array<std::pair<int, WORD>, 5> kPadKeys{{
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD}, {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
}};

}  // namespace

WORD VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return static_cast<WORD>(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<WORD>(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
  if (keypad) {
    for (const auto& [qt, vk] : kPadKeys)
      if (qt == qtKey) return vk;
    // Some layouts give the pad's decimal key as a comma.
    if (qtKey == Qt::Key_Comma) return VK_DECIMAL;
  }
  for (const auto& [qt, vk] : kNamedKeys)
    if (qt == qtKey) return vk;
  return 0;
}

int QtKeyFromVirtualKey(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return Qt::Key_0 + (key - VK_NUMPAD0);
  if (key >= VK_F1 && key <= VK_F1 + 23) return Qt::Key_F1 + (key - VK_F1);
  for (const auto& [qt, vk] : kPadKeys)
    if (vk == key) return qt;
  for (const auto& [qt, vk] : kNamedKeys)
    if (vk == key) return qt;
  return Qt::Key_unknown;
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift;
  if (modifiers.testFlag(Qt::ShiftModifier)) shift.Include(ssShift);
  if (modifiers.testFlag(Qt::AltModifier)) shift.Include(ssAlt);
  if (modifiers.testFlag(Qt::ControlModifier)) shift.Include(ssCtrl);
  if (buttons.testFlag(Qt::LeftButton)) shift.Include(ssLeft);
  if (buttons.testFlag(Qt::RightButton)) shift.Include(ssRight);
  if (buttons.testFlag(Qt::MiddleButton)) shift.Include(ssMiddle);
  return shift;
}

TShiftState KeyboardShiftState() { return ShiftStateFromQt(QGuiApplication::keyboardModifiers(), Qt::NoButton); }
