#include "tests/platform/mci/MciTestSupport.h"

#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"

using namespace platform::testing;

MciTest::MciTest() : display_(UseHeadlessDisplay()) {
    window_ = recorder_.TopLevel("notices", 0, 0, 50, 50);
    std::string error;
    EXPECT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kOutputRate, {}}, error)) << error;
    EXPECT_TRUE(SetCurrentDirectoryA(folder_.WindowsPath().c_str()));
}

MciTest::~MciTest() {
    mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
    ResetDesktop();
}

MCIERROR MciTest::Open(const std::string& element, MCIDEVICEID& id, const char* type) {
    MCI_OPEN_PARMSA params{};
    params.dwCallback = reinterpret_cast<DWORD_PTR>(window_);
    params.lpstrDeviceType = type;
    params.lpstrElementName = element.c_str();
    DWORD flags = MCI_WAIT | (element.empty() ? 0 : MCI_OPEN_ELEMENT) | (type ? MCI_OPEN_TYPE : 0);
    MCIERROR error = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&params));
    id = params.wDeviceID;
    return error;
}

DWORD MciTest::Status(MCIDEVICEID id, DWORD item, MCIERROR* error) {
    MCI_STATUS_PARMS params{};
    params.dwItem = item;
    params.dwReturn = 0xDEADBEEF;
    MCIERROR result = mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&params));
    if (error) *error = result;
    else EXPECT_EQ(result, 0u) << "status item " << item;
    return static_cast<DWORD>(params.dwReturn);
}

MCIERROR MciTest::Send(MCIDEVICEID id, UINT command, DWORD flags) {
    MCI_GENERIC_PARMS params{reinterpret_cast<DWORD_PTR>(window_)};
    return mciSendCommandA(id, command, flags, reinterpret_cast<DWORD_PTR>(&params));
}

MCIERROR MciTest::Play(MCIDEVICEID id, DWORD flags, DWORD from, DWORD to) {
    MCI_PLAY_PARMS params{reinterpret_cast<DWORD_PTR>(window_), from, to};
    return mciSendCommandA(id, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&params));
}

MCIERROR MciTest::SeekTo(MCIDEVICEID id, DWORD to) {
    MCI_SEEK_PARMS params{reinterpret_cast<DWORD_PTR>(window_), to};
    return mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_TO, reinterpret_cast<DWORD_PTR>(&params));
}

MCIERROR MciTest::SetTimeFormat(MCIDEVICEID id, DWORD format) {
    MCI_SET_PARMS params{reinterpret_cast<DWORD_PTR>(window_), format, 0};
    return mciSendCommandA(id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&params));
}

DWORD MciTest::Capability(MCIDEVICEID id, DWORD item) {
    MCI_GETDEVCAPS_PARMS params{0, 0, item};
    EXPECT_EQ(mciSendCommandA(id, MCI_GETDEVCAPS, MCI_WAIT | MCI_GETDEVCAPS_ITEM, reinterpret_cast<DWORD_PTR>(&params)),
              0u);
    return params.dwReturn;
}

void MciTest::Pass(std::chrono::milliseconds time) { RunFor(time); }

std::vector<WPARAM> MciTest::TakeNotices(MCIDEVICEID id) {
    DispatchPending();
    std::vector<WPARAM> codes;
    for (const Received& received : recorder_.Log())
        if (received.message == MM_MCINOTIFY && received.lParam == static_cast<LPARAM>(id))
            codes.push_back(received.wParam);
    recorder_.Clear();
    return codes;
}

std::string MciTest::ErrorText(MCIERROR error) {
    char text[4096];
    return mciGetErrorStringA(error, text, sizeof(text)) ? std::string(text) : std::string("<none>");
}
