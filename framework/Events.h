#pragma once
// Event types of the framework: each handler receives the sender first; values a handler may change are passed by
// reference.

#include <cstdint>
#include <functional>

#include "platform/win32.h"
#include "runtime/GraphicsObject.h"  // TNotifyEvent
#include "runtime/Object.h"

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during an input event.
using TShiftState = uint32_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// The shift state of a key message's flags.
TShiftState KeyDataToShiftState(LPARAM keyData);
