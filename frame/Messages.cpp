#include "Messages.h"

#include "Captions.h"
#include "ProgramFolder.h"

#include <QList>

namespace kakeibo::Messages {
namespace {

const QString kEnd = QStringLiteral("\n\nプログラムを終了します。");

QString pathAndReason(const QString &label, const Error &error)
{
    QString text = QStringLiteral("\n\n%1: %2").arg(label, ProgramFolder::shown(error.subject));
    if (!error.reason.isEmpty())
        text += QStringLiteral("\n理由: %1").arg(error.reason);
    return text;
}

QString file(const QString &what, const Error &error)
{
    return what + pathAndReason(QStringLiteral("ファイル"), error) + kEnd;
}

QString folder(const QString &what, const Error &error)
{
    return what + pathAndReason(QStringLiteral("フォルダ"), error) + kEnd;
}

QString codePoint(const QString &character)
{
    return QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace

const QString kTitle = QStringLiteral("QEN ペルモア");

QString describe(const Error &error)
{
    switch (error.kind) {
    case Error::Kind::Conversion:
        return QStringLiteral("「%1」は金額として読めません。").arg(Captions::shownPart(error.subject)) + kEnd;
    case Error::Kind::Overflow:
        return QStringLiteral("計算の結果が扱える範囲 (-2147483648 ～ 2147483647) を超えました。") + kEnd;
    case Error::Kind::FileNotFound:
        return file(QStringLiteral("必要なファイルが見つかりません。"), error);
    case Error::Kind::FileOpen:
        return file(QStringLiteral("ファイルを開けませんでした。"), error);
    case Error::Kind::FileRead:
        return file(QStringLiteral("ファイルを読み込めませんでした。"), error);
    case Error::Kind::FileWrite:
        return file(QStringLiteral("ファイルに書き込めませんでした。"), error);
    case Error::Kind::FileFlush:
        return file(QStringLiteral("ファイルの内容をディスクに書き込み終えることができませんでした。"), error);
    case Error::Kind::FileFormat:
        return file(QStringLiteral("ファイルの内容が正しくありません。"), error);
    case Error::Kind::FileTooLarge:
        return file(QStringLiteral("ファイルが大きすぎるため読み込みませんでした。"), error);
    case Error::Kind::Picture:
        return file(QStringLiteral("アイコンを読み込めませんでした。"), error);
    case Error::Kind::DirectoryWrite:
        return folder(QStringLiteral("フォルダにファイルを作れませんでした。"), error);
    case Error::Kind::BookInUse:
        return folder(QStringLiteral("この家計簿は、すでに起動している別の家計簿で開かれています。\n"
                                     "同じ家計簿を二つ同時に開くと記帳が失われるため、ここでは開きません。\n"
                                     "開いている方の家計簿をお使いください。"),
                      error);
    case Error::Kind::BookLock:
        return folder(QStringLiteral("この家計簿を一つのプログラムだけで開くための鍵を掛けられませんでした。"), error);
    case Error::Kind::Internal:
        break;
    }
    return QStringLiteral("内部エラーが発生しました (%1 %2)。").arg(error.subject, error.reason) + kEnd;
}

QString bookingPastRange(const QString &category, const QString &total, const QString &amount)
{
    return QStringLiteral("「%1」の合計 %2 円に %3 円を加えると、この家計簿で扱える金額の範囲 "
                          "(-2147483648 ～ 2147483647 円) を超えます。\n\n"
                          "この金額は入力しませんでした。金額を確かめてください。")
        .arg(Captions::shownPart(category), total, amount);
}

QString unstorableName(int slot, const QString &character)
{
    const QString field = QStringLiteral("上から %1 番目の項目名").arg(slot + 1);
    const QString notSaved = QStringLiteral("\n\n項目名は保存しませんでした。");
    if (character == QLatin1String("\""))
        return QStringLiteral("%1に半角の二重引用符「\"」があります。この文字は項目名に使えません "
                              "(全角の「＂」は使えます)。").arg(field) + notSaved;
    if (character == QLatin1String("\r") || character == QLatin1String("\n"))
        return QStringLiteral("%1に改行があります。項目名は 1 行で入力してください。").arg(field) + notSaved;
    if (character.front().category() == QChar::Other_Control)
        return QStringLiteral("%1に制御文字 (U+%2、タブなど) があります。この文字は項目名に使えません。")
                   .arg(field, codePoint(character)) + notSaved;
    if (character == QStringLiteral("¥"))
        return QStringLiteral("%1の「¥」(U+00A5) は、項目名のファイルに保存できない文字です "
                              "(全角の「￥」は使えます)。").arg(field) + notSaved;
    return QStringLiteral("%1の「%2」(U+%3) は、項目名のファイルに保存できない文字です。")
               .arg(field, character, codePoint(character)) + notSaved;
}

} // namespace kakeibo::Messages
