// The Text interface of the edits: what a reader reads character by character, word by word and line by line, and
// where the caret is. Each call reads the edit once; moving the caret or the selection is posted to the edit.

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

int GetDefaultAttributes(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a{ss}", 0);
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
    SD_BUS_VTABLE_END,
};
// clang-format on

}  // namespace platform::desktop
