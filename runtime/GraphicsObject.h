#pragma once
// The base of the drawing objects that a canvas or a control keeps (font, brush, pen, bitmap): each tells its
// holder through OnChange when one of its properties has changed, once per change.

#include <functional>

#include "runtime/Object.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

class TGraphicsObject : public TObject {
  public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;

    TNotifyEvent OnChange;

  protected:
    virtual void Changed() {
        if (OnChange) OnChange(this);
    }
};
