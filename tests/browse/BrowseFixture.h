#pragma once
// What the folder browser's tests share: a host window on the headless display, a temporary folder with the
// process's current directory put back afterwards, and reading a list's lines and a glyph's pixels.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/ListBox.h"
#include "framework/CustomControl.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "runtime/Bitmap.h"
#include "tests/support/TempFolder.h"

// A top-level container of the framework's own class, standing in for a form.
class TBrowseHost : public TCustomControl {
  public:
    explicit TBrowseHost(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 400, 300); }

  protected:
    void CreateParams(TCreateParams& params) override {
        TCustomControl::CreateParams(params);
        params.style |= WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    }
};

class BrowseTest : public ::testing::Test {
  protected:
    BrowseTest();
    ~BrowseTest() override;

    // Puts a control on the host, at the top left, 200 × 280.
    template <typename T>
    T* Place() {
        auto* control = new T(&host_);
        control->SetParent(&host_);
        control->SetBounds(0, 0, 200, 280);
        return control;
    }

    platform::testing::VirtualClock clock_;
    CurrentDirectoryGuard directory_;
    TempFolder folder_;
    TBrowseHost host_{nullptr};
};

std::vector<std::string> Lines(TCustomListBox& list);

// A chain of folders below folder, made, whose full POSIX path is `length` bytes long; returned relative to folder.
std::string MakeDeepFolder(const TempFolder& folder, size_t length);

// A program bitmap resource, as the lists draw it.
std::unique_ptr<TBitmap> ResourceGlyph(const char* name);

// Whether the glyph was drawn with its top-left corner at (x, y) of the window's client area: every pixel that is
// not the glyph's background is there.
bool GlyphDrawnAt(HWND window, const TBitmap& glyph, int x, int y);
// The top of a glyph drawn on a line by the glyph drawing rule.
int GlyphTop(const RECT& line, const TBitmap& glyph);

using Strings = std::vector<std::string>;
