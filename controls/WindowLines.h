#pragma once
// The lines of a list box's or a combo box's window, read and written with the window's own messages: the two
// classes take the same messages under different names (LB_ and CB_), and their line adapters share this code.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"
#include "runtime/Exception.h"
#include "runtime/Messages.h"

struct ListBoxMessages {
    static constexpr UINT kCount = LB_GETCOUNT;
    static constexpr UINT kTextLength = LB_GETTEXTLEN;
    static constexpr UINT kText = LB_GETTEXT;
    static constexpr UINT kAdd = LB_ADDSTRING;
    static constexpr UINT kInsert = LB_INSERTSTRING;
    static constexpr UINT kFindExact = LB_FINDSTRINGEXACT;
};

struct ComboBoxMessages {
    static constexpr UINT kCount = CB_GETCOUNT;
    static constexpr UINT kTextLength = CB_GETLBTEXTLEN;
    static constexpr UINT kText = CB_GETLBTEXT;
    static constexpr UINT kAdd = CB_ADDSTRING;
    static constexpr UINT kInsert = CB_INSERTSTRING;
    static constexpr UINT kFindExact = CB_FINDSTRINGEXACT;
};

template <typename Messages>
struct WindowLines {
    static int32_t Count(HWND window) { return static_cast<int32_t>(SendMessageA(window, Messages::kCount, 0, 0)); }

    static std::string Text(HWND window, int32_t index) {
        // The length first: the window copies the whole line, whatever room there is.
        LRESULT length = SendMessageA(window, Messages::kTextLength, static_cast<WPARAM>(index), 0);
        if (length < 0) throw EStringListError(Msg::SListIndexError, index);
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        LRESULT copied =
            SendMessageA(window, Messages::kText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
        if (copied < 0) throw EStringListError(Msg::SListIndexError, index);
        return std::string(buffer.data(), static_cast<size_t>(copied));
    }

    // Returns where the window placed the line: its sorted place when the window sorts.
    static int32_t Append(HWND window, std::string_view text) {
        std::string line(text);
        auto index = static_cast<int32_t>(SendMessageA(window, Messages::kAdd, 0, reinterpret_cast<LPARAM>(line.c_str())));
        if (index < 0) throw EOutOfResources(Msg::SInsertLineError);
        return index;
    }

    static void Insert(HWND window, int32_t index, std::string_view text) {
        std::string line(text);
        LRESULT placed =
            SendMessageA(window, Messages::kInsert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.c_str()));
        if (placed < 0) throw EOutOfResources(Msg::SInsertLineError);
    }

    static int32_t FindExact(HWND window, std::string_view text) {
        std::string line(text);
        return static_cast<int32_t>(SendMessageA(window, Messages::kFindExact, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>(line.c_str())));
    }
};
