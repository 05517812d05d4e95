#pragma once

// Helpers of the settings file test: a baseline file and the values it loads as, and every
// loaded value by name, so that a test can say which values a change may touch.

#include "settings/SettingsFile.h"

#include <QByteArrayList>
#include <QMap>
#include <QStringList>
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

inline const QStringList kFlagNames =
    QString("bAlwaysOnTop bAutomaticallyOverwrite bShowSavedImage bFirstUse bPlayConfirmSound "
            "bShowHistory bAlwaysPromptFileDelete bDeleteHistoryOnClose bShowSaveErrorMessage "
            "bLoadAppWhenComputerStarts bAutoIncrementSavedFiles bCorrectQueryStringNames "
            "bSynchronizeWithInternetExplorer enableTimer5")
        .split(' ');

// Every persisted value, the folder slots and the timer request, by name, as text.
inline Fields fields(const AppState& s, const Slots& slots, SettingsFile::LoadResult r) {
    const bool flags[] = {s.bAlwaysOnTop,
                          s.bAutomaticallyOverwrite,
                          s.bShowSavedImage,
                          s.bFirstUse,
                          s.bPlayConfirmSound,
                          s.bShowHistory,
                          s.bAlwaysPromptFileDelete,
                          s.bDeleteHistoryOnClose,
                          s.bShowSaveErrorMessage,
                          s.bLoadAppWhenComputerStarts,
                          s.bAutoIncrementSavedFiles,
                          s.bCorrectQueryStringNames,
                          s.bSynchronizeWithInternetExplorer,
                          r.enableTimer5};
    Fields f;
    for (int i = 0; i < 14; ++i)
        f[kFlagNames[i]] = flags[i] ? "true" : "false";
    f["sClientSize"] = s.sClientSize;
    f["sWindowsFolder"] = s.sWindowsFolder;
    f["WindowLeft"] = QString::number(s.WindowLeft, 'f', 3);
    f["WindowTop"] = QString::number(s.WindowTop, 'f', 3);
    for (int i = 0; i < 10; ++i)
        f[QStringLiteral("slot%1").arg(i)] = slots[i];
    return f;
}

// What loading the baseline gives.
inline Fields baselineFields() {
    Fields f;
    for (const QString& name : kFlagNames)
        f[name] = "false";
    f["sClientSize"] = "MED";
    f["sWindowsFolder"] = "/usr/share/windows";
    f["WindowLeft"] = "1000.000";
    f["WindowTop"] = "2000.000";
    for (int i = 0; i < 10; ++i)
        f[QStringLiteral("slot%1").arg(i)] = QStringLiteral("/f/%1").arg(i);
    return f;
}

inline void compareFields(const Fields& actual, const Fields& expected) {
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString got = actual.value(it.key());
        QVERIFY2(got == it.value(), qPrintable(it.key() + ": \"" + got.left(60) + "\", wanted \"" +
                                               it.value().left(60) + "\""));
    }
}

inline QByteArray joined(const QByteArrayList& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// The state a load starts from: a position and a Windows folder that a load may leave alone.
inline AppState presetState() {
    AppState s;
    s.WindowLeft = 4321;
    s.WindowTop = 1234;
    s.sWindowsFolder = "/earlier";
    return s;
}

inline Slots presetSlots() {
    Slots slots;
    for (int i = 0; i < 10; ++i)
        slots[i] = QStringLiteral("old%1").arg(i);
    return slots;
}

} // namespace kelvane::test
