#pragma once

#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QString>

#include <initializer_list>
#include <utility>

// Starts the real program file on a program folder of its own (LORVAN_HOME), on Qt's offscreen
// platform, with further environment entries (an empty value removes the entry). True when
// the process started.
inline bool StartLorvan(QProcess& lorvan, const QString& home,
                        std::initializer_list<std::pair<QString, QString>> environment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LORVAN_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [name, value] : environment) {
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    lorvan.setProcessEnvironment(env);
    lorvan.start(QStringLiteral(LORVAN_EXE), {});
    return lorvan.waitForStarted(30000);
}
