#pragma once

// The settings file test's baseline file, its loaded values, and every loaded value by name.

#include "settings/SettingsFile.h"

#include <QByteArrayList>
#include <QMap>
#include <QtTest>

namespace kelvane::test {

using Slots = std::array<QString, 10>;
using Fields = QMap<QString, QString>;

// A file as the program writes it; every test that changes one line starts from here.
inline const QByteArrayList kBaseline =
    QByteArray("alwaysontop=False|clientsize=MED|overwrite=False|showsavedimage=False|"
               "firstuse=False|windowsfolder=/usr/share/windows|left= 1000|top= 2000|"
               "playconfirmsound=False|showhistory=False|alwayspromptfiledelete=False|"
               "deletehistoryonclose=False|showsavesrrormessage=False|"
               "loadappwhencomputerstarts=False|autoincrementsavedfiles=False|"
               "correctquerystringnames=False|synchronizewithinternetexplorer=False|||||"
               "/f/9|/f/8|/f/7|/f/6|/f/5|/f/4|/f/3|/f/2|/f/1|/f/0")
        .split('|');

// The thirteen flags of the settings file, in its order.
// clang-format off
#define KELVANE_FLAGS(X) X(bAlwaysOnTop) X(bAutomaticallyOverwrite) X(bShowSavedImage) X(bFirstUse) \
    X(bPlayConfirmSound) X(bShowHistory) X(bAlwaysPromptFileDelete) X(bDeleteHistoryOnClose)      \
    X(bShowSaveErrorMessage) X(bLoadAppWhenComputerStarts) X(bAutoIncrementSavedFiles)            \
    X(bCorrectQueryStringNames) X(bSynchronizeWithInternetExplorer)
// clang-format on
#define KELVANE_ADDRESS(flag) &s.flag,
#define KELVANE_TEXT(flag) {#flag, s.flag ? "true" : "false"},
inline std::array<bool*, 13> flagsOf(AppState& s) {
    return {KELVANE_FLAGS(KELVANE_ADDRESS)};
}

// Every persisted value, the folder slots and the timer request, by name, as text.
inline Fields fields(AppState s, const Slots& slots, SettingsFile::LoadResult r) {
    Fields f{KELVANE_FLAGS(KELVANE_TEXT){"enableTimer5", r.enableTimer5 ? "true" : "false"},
             {"sClientSize", s.sClientSize},
             {"sWindowsFolder", s.sWindowsFolder},
             {"WindowLeft", QString::number(s.WindowLeft, 'f', 3)},
             {"WindowTop", QString::number(s.WindowTop, 'f', 3)}};
    for (int i = 0; i < 10; ++i)
        f[QStringLiteral("slot%1").arg(i)] = slots[i];
    return f;
}

// Load start: flags lines 1-9 must switch off, every other one of 10-17 (only switch on) on.
inline AppState presetState() {
    AppState s;
    for (int i : {0, 1, 2, 4, 5, 7, 9, 11})
        *flagsOf(s)[i] = true;
    s.sClientSize = "LARGE";
    s.WindowLeft = 4321;
    s.WindowTop = 1234;
    s.sWindowsFolder = "/earlier";
    return s;
}

// Slot i holding prefix + i: "old" in the preset, "/f/" in the baseline.
inline Slots numberedSlots(const QString& prefix) {
    Slots slots;
    for (int i = 0; i < 10; ++i)
        slots[i] = prefix + QString::number(i);
    return slots;
}

// The values of the baseline file, and what loading it into the preset gives.
inline AppState baselineState(AppState s = AppState()) {
    for (int i : {0, 1, 2, 3, 4})
        *flagsOf(s)[i] = false;
    s.sClientSize = "MED";
    s.sWindowsFolder = "/usr/share/windows";
    s.WindowLeft = 1000;
    s.WindowTop = 2000;
    return s;
}

inline void compareFields(const Fields& actual, const Fields& expected) {
    for (const QString& key : expected.keys())
        QVERIFY2(actual.value(key) == expected[key],
                 qPrintable(key + ": \"" + actual.value(key).left(60) + "\", wanted \"" +
                            expected[key].left(60) + "\""));
}

inline QByteArray joined(const QByteArrayList& lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}

} // namespace kelvane::test
