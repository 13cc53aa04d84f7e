#include "runtime/Exception.h"

#include <gtest/gtest.h>

#include "platform/win32.h"
#include "runtime/Strings.h"

namespace {

TEST(Exception, InOutErrorMessageFollowsTheCode) {
    EXPECT_EQ(EInOutError(2).Message(), "ファイルが見つかりません");
    EXPECT_EQ(EInOutError(3).Message(), "不正なファイル名です");
    EXPECT_EQ(EInOutError(4).Message(), "オープンしたファイルが多すぎます");
    EXPECT_EQ(EInOutError(5).Message(), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(EInOutError(100).Message(), "ファイルの末尾以降を読み込みました");
    EXPECT_EQ(EInOutError(101).Message(), "ディスクがいっぱいです");
    EXPECT_EQ(EInOutError(106).Message(), "入力値が数値ではありません");
    EXPECT_EQ(EInOutError(21).Message(), "I/O エラー (21)");
    EXPECT_EQ(EInOutError(267).Message(), "I/O エラー (267)");
    EXPECT_EQ(EInOutError(0).Message(), "I/O エラー (0)");
    EXPECT_EQ(EInOutError(267).ErrorCode(), 267);
}

TEST(Exception, InOutErrorFromTheLastErrorClearsIt) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    EInOutError error = EInOutError::FromLastError();
    EXPECT_EQ(error.ErrorCode(), 3);
    EXPECT_EQ(error.Message(), "不正なファイル名です");
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(Exception, EachClassReadsAsItsOwnName) {
    EXPECT_EQ(Exception("x").ClassName(), "Exception");
    EXPECT_EQ(EInOutError(2).ClassName(), "EInOutError");
    EXPECT_EQ(EStringListError("x").ClassName(), "EStringListError");
    EXPECT_EQ(EListError("x").ClassName(), "EListError");
    EXPECT_EQ(EInvalidOperation("x").ClassName(), "EInvalidOperation");
    EXPECT_EQ(EOutOfResources("x").ClassName(), "EOutOfResources");
    EXPECT_EQ(EConvertError("x").ClassName(), "EConvertError");
    EXPECT_EQ(EAbort().ClassName(), "EAbort");
    // Through a reference to the base, as the error box sees it.
    try {
        throw EOutOfResources(Msg::SInsertLineError);
    } catch (const Exception& e) {
        EXPECT_EQ(e.ClassName(), "EOutOfResources");
        EXPECT_EQ(e.Message(), "行を挿入できません");
        EXPECT_STREQ(e.what(), "行を挿入できません");
    }
}

TEST(Exception, FillsTheMessagePatternFromArguments) {
    EXPECT_EQ(EStringListError(Msg::SListIndexError, 5).Message(), "リストのインデックスが範囲を超えています (5)");
    EXPECT_EQ(EInvalidOperation(Msg::SPropertyOutOfRange, "TTrackBar").Message(),
              "プロパティ TTrackBar の範囲を超えています");
    EXPECT_EQ(Exception(Msg::SIniFileWriteError, std::string("C:\\a.ini")).Message(), "C:\\a.ini に書き込めません");
}

class TCustomThing : public TObject {};
class TThing : public TCustomThing {};

TEST(Object, ClassNameIsTheDynamicClassWithoutNamespaces) {
    TThing thing;
    const TObject& object = thing;
    EXPECT_EQ(object.ClassName(), "TThing");
    EXPECT_EQ(TStringList().ClassName(), "TStringList");
    EXPECT_EQ(TObject().ClassName(), "TObject");
}

}  // namespace
