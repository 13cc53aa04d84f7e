#pragma once
// The list box: a thin layer over the platform's LISTBOX window. While the window exists the control keeps no copy
// of its lines: every read and write of Items is a message to the window, and the window's lines, data values,
// selection and sort style are the only state. Across a re-creation of the window (a change of Sorted, Style…) the
// lines are kept in a saved list and given to the new window, which sorts them if it is sorted.
//
// Events come only from the user: OnClick when the user changed the selection, OnDblClick for a double click.
// Setting ItemIndex, swapping, copying or replacing lines and re-creating the window raise neither.

#include <cstdint>
#include <functional>
#include <memory>

#include "controls/OwnerDrawnLines.h"
#include "framework/WinControl.h"
#include "runtime/Canvas.h"
#include "runtime/Strings.h"

enum class TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum class TBorderStyle : uint8_t { bsNone, bsSingle };

using TDrawItemEvent = std::function<void(TObject* sender, int32_t index, const RECT& rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TObject* sender, int32_t index, int& height)>;

class TCustomListBox;

// A list box's Items: every operation is a message to the list's window, which it makes first when needed.
class TListBoxStrings : public TStrings {
  public:
    explicit TListBoxStrings(TCustomListBox& listBox) : listBox_(listBox) {}

    std::string LineText(int32_t index) const override;
    int32_t LineCount() const override;
    TLineData LineData(int32_t index) const override;
    // Keeps the line's data value and the selection index; the line stays at its index whatever the sort style.
    void ReplaceLine(int32_t index, std::string_view text) override;
    void SetLineData(int32_t index, TLineData data) override;
    void UpdateStateChanged(bool updating) override;
    // Returns the index where the window placed the line: its sorted place when the list is sorted.
    int32_t AppendLine(std::string_view text) override;
    void RemoveAll() override;
    void RemoveLine(int32_t index) override;
    // Exchanges two lines by position, text and data; the selection follows its line. A sorted list is not
    // re-sorted: only a re-creation of the window sorts it again.
    void SwapLines(int32_t index1, int32_t index2) override;
    int32_t FindLine(std::string_view text) const override;
    // Puts the line at exactly index, also in a sorted list.
    void InsertLine(int32_t index, std::string_view text) override;
    void MoveLine(int32_t from, int32_t to) override;

  private:
    HWND Window() const;

    TCustomListBox& listBox_;
};

class TCustomListBox : public TWinControl {
  public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings& Items() { return *items_; }
    // Replaces all lines by those of source.
    void SetItems(const TStrings& source) { items_->CopyLinesFrom(&source); }
    void RemoveAll() { items_->RemoveAll(); }

    // -1 when no line is selected. Setting it sends a message only for a new value, and raises no event.
    int32_t ItemIndex();
    void SetItemIndex(int32_t value);
    // The first visible line.
    int32_t TopIndex();
    void SetTopIndex(int32_t value);
    // Whether line index is selected (multi-select lists); raises EListError for an index out of range.
    bool Selected(int32_t index);
    RECT ItemRect(int32_t index);

    // Settings that shape the window: a new value re-creates it, keeping the lines.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool value);
    bool IntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // Owner-drawn lists: the line height. A standard list reports the height its window gives line 0.
    int ItemHeight();
    void SetItemHeight(int value);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int value);
    int Columns() const { return columns_; }
    void SetColumns(int value);

    // The canvas owner-drawn lines are drawn on.
    TCanvas& Canvas() { return canvas_; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Resize() override;

    // Draws one owner-drawn line; the canvas holds the line's DC with the font and the brush (highlight colours
    // for a selected line) already set, and the focus rectangle follows. By default OnDrawItem, or the text.
    virtual void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state);
    virtual void MeasureItem(int32_t index, int& height);

    // The platform list's data and removal, overridable by lists that keep more per line.
    virtual TLineData GetItemData(int32_t index);
    virtual void SetItemData(int32_t index, TLineData data);
    virtual TLineData InternalGetItemData(int32_t index) { return GetItemData(index); }
    virtual void InternalSetItemData(int32_t index, TLineData data) { SetItemData(index, data); }
    virtual void DeleteString(int32_t index);
    virtual void ResetContent();

  private:
    friend class TListBoxStrings;
    void SetColumnWidth();
    void MeasureItemNotification(TMessage& message);

    std::unique_ptr<TListBoxStrings> items_;
    TCanvas canvas_;
    bool sorted_ = false;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool integralHeight_ = false;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    int itemHeight_ = 16;
    int tabWidth_ = 0;
    int columns_ = 0;
    // What the window held while it is being made again.
    std::unique_ptr<TStringList> savedItems_;
    int32_t savedTopIndex_ = 0;
    int32_t savedItemIndex_ = -1;
};

class TListBox : public TCustomListBox {
  public:
    using TCustomListBox::TCustomListBox;
};
