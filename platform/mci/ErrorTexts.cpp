// Our own texts for the MCI error codes this platform produces. They belong to the platform, as the system's own
// texts do on Windows; a code without a text here makes mciGetErrorStringA fail, so that the program falls back to
// its own "unknown error" message.

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/win32.h"

namespace {

constexpr std::pair<MCIERROR, const char*> kTexts[] = {
    {0, "エラーはありません。"},
    {MCIERR_INVALID_DEVICE_ID, "指定されたデバイス識別子のデバイスは開かれていません。"},
    {MCIERR_UNRECOGNIZED_COMMAND, "認識できない MCI コマンドです。"},
    {MCIERR_INVALID_DEVICE_NAME, "指定された種類のデバイスはこのシステムにはありません。"},
    {MCIERR_OUT_OF_MEMORY, "開いているデバイスが多すぎるか、メモリが足りません。"},
    {MCIERR_CANNOT_LOAD_DRIVER, "MIDI の音色ファイル (サウンドフォント) を読み込めないため、MIDI ファイルを再生できません。"},
    {MCIERR_MISSING_PARAMETER, "コマンドに必要なパラメータが指定されていません。"},
    {MCIERR_UNSUPPORTED_FUNCTION, "このデバイスはその操作に対応していません。"},
    {MCIERR_FILE_NOT_FOUND, "ファイルが見つかりません。パスとファイル名を確かめてください。"},
    {MCIERR_DEVICE_NOT_READY, "音声出力装置を開けません。これからは音を出さずに再生します。"},
    {MCIERR_CANNOT_USE_ALL, "このコマンドはすべてのデバイスに対しては使えません。"},
    {MCIERR_OUTOFRANGE, "指定された位置がメディアの範囲を超えています。"},
    {MCIERR_FLAGS_NOT_COMPATIBLE, "同時に指定できないフラグが指定されています。"},
    {MCIERR_BAD_TIME_FORMAT, "このデバイスはその時間形式に対応していません。"},
    {MCIERR_INVALID_FILE, "ファイルの形式を認識できないか、ファイルが壊れています。"},
    {MCIERR_NULL_PARAMETER_BLOCK, "パラメータブロックが指定されていません。"},
    {MCIERR_NONAPPLICABLE_FUNCTION, "デバイスの今の状態ではその操作はできません。"},
    {MCIERR_FILE_READ,
     "ファイルを開けません。読み取りが許可されていないか、通常のファイルではないか、ディスクやネットワークが応答しません。"},
};

}  // namespace

BOOL WINAPI mciGetErrorStringA(MCIERROR mcierr, LPSTR pszText, UINT cchText) {
    for (const auto& [code, text] : kTexts) {
        if (code != mcierr) continue;
        if (!pszText || cchText == 0) return FALSE;
        const size_t length = std::min<size_t>(std::strlen(text), cchText - 1);
        std::memcpy(pszText, text, length);
        pszText[length] = '\0';
        return TRUE;
    }
    if (pszText && cchText) pszText[0] = '\0';
    return FALSE;
}
