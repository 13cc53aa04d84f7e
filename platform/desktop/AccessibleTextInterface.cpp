// The Text interface of the edits: what a reader reads character by character, word by word, sentence by sentence
// and line by line, where the caret is and where each character is drawn. Each call reads the edit once; moving the
// caret or the selection is posted to the edit. And the EditableText interface: a reader's change of the text, made
// from the loop after the dispatch as the user's typing would make it.

#include <algorithm>
#include <functional>
#include <string>

#include "platform/desktop/AccessibilityServer.h"
#include "platform/desktop/AccessibleText.h"

namespace platform::desktop {
namespace {

HWND EditOf(const char* path) { return RefAt(path).value_or(AccessibleRef{}).window; }
HWND EditOf(sd_bus_message* message) { return EditOf(sd_bus_message_get_path(message)); }

int GetCharacterCount(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*,
                      sd_bus_error*) {
    return sd_bus_message_append(reply, "i", AccessibleText(EditOf(path)).CharacterCount());
}

int GetCaretOffset(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "i", AccessibleText(EditOf(path)).CaretOffset());
}

int GetText(sd_bus_message* message, void*, sd_bus_error*) {
    int start = 0, end = 0;
    const int result = sd_bus_message_read(message, "ii", &start, &end);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "s", AccessibleText(EditOf(message)).Text(start, end).c_str());
}

int GetCharacterAtOffset(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    const int result = sd_bus_message_read(message, "i", &offset);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "i",
                                      static_cast<int32_t>(AccessibleText(EditOf(message)).CharacterAt(offset)));
}

template <TextRange (AccessibleText::*piece)(int, TextBoundary) const>
int GetTextPiece(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    uint32_t boundary = 0;
    const int result = sd_bus_message_read(message, "iu", &offset, &boundary);
    if (result < 0) return result;
    const TextRange range = (AccessibleText(EditOf(message)).*piece)(offset, static_cast<TextBoundary>(boundary));
    return sd_bus_reply_method_return(message, "sii", range.text.c_str(), range.start, range.end);
}

int GetStringAtOffset(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    uint32_t granularity = 0;
    const int result = sd_bus_message_read(message, "iu", &offset, &granularity);
    if (result < 0) return result;
    const TextRange range =
        AccessibleText(EditOf(message)).StringAt(offset, static_cast<TextGranularity>(granularity));
    return sd_bus_reply_method_return(message, "sii", range.text.c_str(), range.start, range.end);
}

int SetCaretOffset(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    const int result = sd_bus_message_read(message, "i", &offset);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "b", SelectText(EditOf(message), offset, offset));
}

int GetNSelections(sd_bus_message* message, void*, sd_bus_error*) {
    const AccessibleText text(EditOf(message));
    return sd_bus_reply_method_return(message, "i", text.SelectionStart() != text.CaretOffset() ? 1 : 0);
}

int GetSelection(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0;
    const int result = sd_bus_message_read(message, "i", &index);
    if (result < 0) return result;
    const AccessibleText text(EditOf(message));
    const bool there = index == 0 && text.SelectionStart() != text.CaretOffset();
    return sd_bus_reply_method_return(message, "ii", there ? text.SelectionStart() : 0, there ? text.CaretOffset() : 0);
}

// An edit holds one selection at most: adding one replaces it, as setting the first does.
int AddSelection(sd_bus_message* message, void*, sd_bus_error*) {
    int start = 0, end = 0;
    const int result = sd_bus_message_read(message, "ii", &start, &end);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "b", SelectText(EditOf(message), start, end));
}

int SetSelection(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0, start = 0, end = 0;
    const int result = sd_bus_message_read(message, "iii", &index, &start, &end);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "b", index == 0 && SelectText(EditOf(message), start, end));
}

int RemoveSelection(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0;
    const int result = sd_bus_message_read(message, "i", &index);
    if (result < 0) return result;
    const HWND edit = EditOf(message);
    const AccessibleText text(edit);
    const bool removed = index == 0 && text.SelectionStart() != text.CaretOffset() &&
                         SelectText(edit, text.CaretOffset(), text.CaretOffset());
    return sd_bus_reply_method_return(message, "b", removed);
}

// The edit draws all its text in one font and colour: nothing to tell beyond the whole text's run.
int GetAttributes(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    const int result = sd_bus_message_read(message, "i", &offset);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "a{ss}ii", 0, 0, AccessibleText(EditOf(message)).CharacterCount());
}

int GetAttributeRun(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    int includeDefaults = 0;
    const int result = sd_bus_message_read(message, "ib", &offset, &includeDefaults);
    if (result < 0) return result;
    return sd_bus_reply_method_return(message, "a{ss}ii", 0, 0, AccessibleText(EditOf(message)).CharacterCount());
}

int GetAttributeValue(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "s", "");
}

int GetDefaultAttributes(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a{ss}", 0);
}

// ---- where the characters are, for reading by the pointer ----

int ReplyRect(sd_bus_message* message, HWND edit, std::optional<RECT> client, uint32_t coordinates) {
    const RECT rect = client ? InCoordinates(edit, *client, coordinates) : RECT{};
    return sd_bus_reply_method_return(message, "iiii", rect.left, rect.top, rect.right - rect.left,
                                      rect.bottom - rect.top);
}

int GetCharacterExtents(sd_bus_message* message, void*, sd_bus_error*) {
    int offset = 0;
    uint32_t coordinates = 0;
    const int result = sd_bus_message_read(message, "iu", &offset, &coordinates);
    if (result < 0) return result;
    const HWND edit = EditOf(message);
    return ReplyRect(message, edit, AccessibleText(edit).CharacterRect(offset), coordinates);
}

// The edit holds one line: the range's rectangle runs from its first character's left to its last one's right.
int GetRangeExtents(sd_bus_message* message, void*, sd_bus_error*) {
    int start = 0, end = 0;
    uint32_t coordinates = 0;
    const int result = sd_bus_message_read(message, "iiu", &start, &end, &coordinates);
    if (result < 0) return result;
    const HWND edit = EditOf(message);
    const AccessibleText text(edit);
    std::optional<RECT> first = text.CharacterRect(std::min(start, end));
    const std::optional<RECT> last = text.CharacterRect(std::max(start, end) - 1);
    if (first && last && end != start) first->right = last->right;
    else first.reset();
    return ReplyRect(message, edit, first, coordinates);
}

int GetOffsetAtPoint(sd_bus_message* message, void*, sd_bus_error*) {
    int x = 0, y = 0;
    uint32_t coordinates = 0;
    const int result = sd_bus_message_read(message, "iiu", &x, &y, &coordinates);
    if (result < 0) return result;
    const HWND edit = EditOf(message);
    return sd_bus_reply_method_return(message, "i", AccessibleText(edit).OffsetAt(ToClient(edit, {x, y}, coordinates)));
}

int GetBoundedRanges(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a(iisv)", 0);
}

// ---- EditableText: a reader's change, made from the loop as the user's typing ----

int Changed(sd_bus_message* message, void* userdata, int start, int end, UINT command,
            std::function<void(HWND)> change) {
    const HWND edit = EditOf(message);
    const bool takes = TakesTextChange(edit, start, end, command);
    if (takes)
        AccessibilityServer::Of(userdata).AfterDispatch({AccessibleRef::Kind::Window, edit, 0},
                                                       [edit, change = std::move(change)] { change(edit); });
    return sd_bus_reply_method_return(message, "b", takes);
}

int SetTextContents(sd_bus_message* message, void* userdata, sd_bus_error*) {
    const char* text = nullptr;
    const int result = sd_bus_message_read(message, "s", &text);
    if (result < 0) return result;
    // All the text there is when it is made, which an earlier change may have made longer.
    return Changed(message, userdata, 0, 0, EM_REPLACESEL,
                   [text = std::string(text)](HWND edit) { ReplaceText(edit, 0, -1, text); });
}

int InsertText(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int position = 0, length = 0;
    const char* text = nullptr;
    const int result = sd_bus_message_read(message, "isi", &position, &text, &length);
    if (result < 0) return result;
    // The length counts the text's bytes; a character it would cut is left out whole.
    std::string inserted(text);
    if (length >= 0 && static_cast<size_t>(length) < inserted.size()) {
        size_t cut = static_cast<size_t>(length);
        while (cut > 0 && (static_cast<unsigned char>(inserted[cut]) & 0xC0) == 0x80) --cut;
        inserted.resize(cut);
    }
    return Changed(message, userdata, position, position, EM_REPLACESEL,
                   [position, inserted](HWND edit) { ReplaceText(edit, position, position, inserted); });
}

int DeleteText(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int start = 0, end = 0;
    const int result = sd_bus_message_read(message, "ii", &start, &end);
    if (result < 0) return result;
    return Changed(message, userdata, start, end, EM_REPLACESEL,
                   [start, end](HWND edit) { ReplaceText(edit, start, end, ""); });
}

int CutText(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int start = 0, end = 0;
    const int result = sd_bus_message_read(message, "ii", &start, &end);
    if (result < 0) return result;
    return Changed(message, userdata, start, end, WM_CUT,
                   [start, end](HWND edit) { ClipboardCommand(edit, start, end, WM_CUT); });
}

int PasteText(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int position = 0;
    const int result = sd_bus_message_read(message, "i", &position);
    if (result < 0) return result;
    return Changed(message, userdata, position, position, WM_PASTE,
                   [position](HWND edit) { ClipboardCommand(edit, position, position, WM_PASTE); });
}

// Copying changes nothing, and answers nothing.
int CopyText(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int start = 0, end = 0;
    const int result = sd_bus_message_read(message, "ii", &start, &end);
    if (result < 0) return result;
    const HWND edit = EditOf(message);
    if (TakesTextChange(edit, start, end, WM_COPY))
        AccessibilityServer::Of(userdata).AfterDispatch({AccessibleRef::Kind::Window, edit, 0}, [edit, start, end] {
            ClipboardCommand(edit, start, end, WM_COPY);
        });
    return sd_bus_reply_method_return(message, "");
}

}  // namespace

// clang-format off
const sd_bus_vtable kTextTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("CharacterCount", "i", &GetCharacterCount, 0, 0),
    SD_BUS_PROPERTY("CaretOffset", "i", &GetCaretOffset, 0, 0),
    SD_BUS_METHOD("GetText", "ii", "s", &GetText, 0),
    SD_BUS_METHOD("GetCharacterAtOffset", "i", "i", &GetCharacterAtOffset, 0),
    SD_BUS_METHOD("GetTextAtOffset", "iu", "sii", &GetTextPiece<&AccessibleText::TextAt>, 0),
    SD_BUS_METHOD("GetTextBeforeOffset", "iu", "sii", &GetTextPiece<&AccessibleText::TextBefore>, 0),
    SD_BUS_METHOD("GetTextAfterOffset", "iu", "sii", &GetTextPiece<&AccessibleText::TextAfter>, 0),
    SD_BUS_METHOD("GetStringAtOffset", "iu", "sii", &GetStringAtOffset, 0),
    SD_BUS_METHOD("SetCaretOffset", "i", "b", &SetCaretOffset, 0),
    SD_BUS_METHOD("GetNSelections", "", "i", &GetNSelections, 0),
    SD_BUS_METHOD("GetSelection", "i", "ii", &GetSelection, 0),
    SD_BUS_METHOD("AddSelection", "ii", "b", &AddSelection, 0),
    SD_BUS_METHOD("RemoveSelection", "i", "b", &RemoveSelection, 0),
    SD_BUS_METHOD("SetSelection", "iii", "b", &SetSelection, 0),
    SD_BUS_METHOD("GetAttributes", "i", "a{ss}ii", &GetAttributes, 0),
    SD_BUS_METHOD("GetDefaultAttributes", "", "a{ss}", &GetDefaultAttributes, 0),
    SD_BUS_METHOD("GetAttributeRun", "ib", "a{ss}ii", &GetAttributeRun, 0),
    SD_BUS_METHOD("GetAttributeValue", "is", "s", &GetAttributeValue, 0),
    SD_BUS_METHOD("GetDefaultAttributeSet", "", "a{ss}", &GetDefaultAttributes, 0),
    SD_BUS_METHOD("GetCharacterExtents", "iu", "iiii", &GetCharacterExtents, 0),
    SD_BUS_METHOD("GetRangeExtents", "iiu", "iiii", &GetRangeExtents, 0),
    SD_BUS_METHOD("GetOffsetAtPoint", "iiu", "i", &GetOffsetAtPoint, 0),
    SD_BUS_METHOD("GetBoundedRanges", "iiiiuuu", "a(iisv)", &GetBoundedRanges, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kEditableTextTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("SetTextContents", "s", "b", &SetTextContents, 0),
    SD_BUS_METHOD("InsertText", "isi", "b", &InsertText, 0),
    SD_BUS_METHOD("CopyText", "ii", "", &CopyText, 0),
    SD_BUS_METHOD("CutText", "ii", "b", &CutText, 0),
    SD_BUS_METHOD("DeleteText", "ii", "b", &DeleteText, 0),
    SD_BUS_METHOD("PasteText", "i", "b", &PasteText, 0),
    SD_BUS_VTABLE_END,
};
// clang-format on

}  // namespace platform::desktop
