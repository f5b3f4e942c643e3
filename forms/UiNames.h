// The names of the four windows and of their controls: the names the
// program, the tests, the benchmarks and the kill target address them by.
// A control array has one name; Controls::arrayName adds the slot
// ("optKoumoku" and 2 give the object name "optKoumoku_2"). The README's
// glossary explains the romanised words.
#pragma once

#include <QString>

namespace kakeibo::Ui {

// The windows.
inline const QString frmIO = QStringLiteral("frmIO");            // the entry window
inline const QString frmTeisei = QStringLiteral("frmTeisei");    // the correction window
inline const QString frmKoumoku = QStringLiteral("frmKoumoku");  // the category-name window
inline const QString frmAbout = QStringLiteral("frmAbout");      // the version window

// The entry window.
inline const QString txtKingaku = QStringLiteral("txtKingaku");  // the amount box
inline const QString cmdInput = QStringLiteral("cmdInput");      // "入力"
inline const QString optKoumoku = QStringLiteral("optKoumoku");  // the six category options
inline const QString lblKoumoku = QStringLiteral("lblKoumoku");  // the six category labels (also in frmTeisei)
inline const QString lblKingaku = QStringLiteral("lblKingaku");  // the six totals
inline const QString lblGoukei = QStringLiteral("lblGoukei");    // the grand total
inline const QString menuBar = QStringLiteral("menuBar");
inline const QString mnuRevision = QStringLiteral("mnuRevision");  // "訂正(&R)"
inline const QString mnuChange = QStringLiteral("mnuChange");      // "項目変更(&C)"
inline const QString mnuAbout = QStringLiteral("mnuAbout");        // "ﾊﾞｰｼﾞｮﾝ情報(&A)"
inline const QString mnuExit = QStringLiteral("mnuExit");          // "終了(&X)"
inline const QString client = QStringLiteral("client");            // the area below the menu bar
inline const QString Frame1 = QStringLiteral("Frame1");            // the frame "項目"
inline const QString Frame2 = QStringLiteral("Frame2");            // the frame "合計金額"

// The correction and category-name windows: six fields and the apply button.
inline const QString txtKoumoku = QStringLiteral("txtKoumoku");
inline const QString cmdTeisei = QStringLiteral("cmdTeisei");

// The version window.
inline const QString lblAbout = QStringLiteral("lblAbout");  // the version line
inline const QString imgIcon = QStringLiteral("imgIcon");

// Unnamed design controls, as the windows number them.
inline const QString Label1 = QStringLiteral("Label1");
inline const QString Label2 = QStringLiteral("Label2");
inline const QString Line1 = QStringLiteral("Line1");
inline const QString Line2 = QStringLiteral("Line2");

} // namespace kakeibo::Ui
