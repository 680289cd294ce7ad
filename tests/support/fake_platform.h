#pragma once

#include "app/platform.h"
#include "files/file_system.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>

namespace tarnwick::test {

struct FakeInstance;

/// A scripted platform: records what the handlers showed, answers dialogs from a queue and lets Sleep
/// advance a virtual clock. DoEvents and waitForEvents still run Qt's events, for loopback network tests.
class FakePlatform : public Platform {
public:
    FakePlatform();

    void MsgBox(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool ShowOpen(FileDialog& dialog) override { return answer(dialog, false); }
    bool ShowSave(FileDialog& dialog) override { return answer(dialog, true); }
    void setClipboardText(const QString& text) override;
    bool DoEvents() override;
    bool waitForEvents(int maxMs) override;
    void Refresh() override { }
    void Sleep(int ms) override;
    QDateTime now() override { return clock; }
    void Randomize() override { ++randomizeCalls; }
    double Rnd() override;
    bool openWebAddress(const QString& address) override
    {
        opened.append(address);
        return opens;
    }
    QString programFolder() override { return folder; }
    void Unload() override { isUnloaded = true; }
    bool unloaded() const override { return isUnloaded; }
    FileSystem& fileSystem() override { return *files; }
    /// `instance` when a test sets one, else one on a machine without searx.
    PrivateInstance& privateInstance() override;

    /// The next dialog answer: a full path, or std::nullopt for a cancel.
    void answerDialog(std::optional<QString> path) { dialogAnswers.push_back(std::move(path)); }

    // What happened.
    QStringList messages;
    QStringList questions;
    QString clipboard;
    bool clipboardSet = false;
    QStringList opened;
    struct DialogShown {
        bool save;
        QString filter;
        QString initDir;
    };
    std::vector<DialogShown> dialogs;
    int pumps = 0;
    int randomizeCalls = 0;
    qint64 sleptMs = 0;

    // What comes next.
    std::deque<std::optional<QString>> dialogAnswers;
    /// Answers to askYesNo; with none queued the answer is No.
    std::deque<bool> yesNoAnswers;
    /// Runs at every pump (DoEvents and waitForEvents), with the pump number.
    std::function<void(int pump)> onPump;
    /// Runs at every message, with its text (to see the state the user sees with it).
    std::function<void(const QString&)> onMessage;
    /// Values Rnd returns before it falls back to the generator.
    std::deque<double> rndValues;

    QString folder = QStringLiteral("/tmp/");
    QDateTime clock = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
    bool isUnloaded = false;
    /// What openWebAddress answers: whether the desktop had a handler for the address.
    bool opens = true;
    /// The file system the saves write through: the real one unless a test hands in a faulty one.
    FileSystem* files = &realFiles;
    PrivateInstance* instance = nullptr;

    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;
    ~FakePlatform() override;

private:
    PosixFileSystem realFiles;
    std::unique_ptr<FakeInstance> noSearx_;

    bool answer(FileDialog& dialog, bool save);
    void pumped();

    std::mt19937 generator { 12345 };
};

} // namespace tarnwick::test
