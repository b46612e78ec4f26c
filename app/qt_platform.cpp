// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_platform.h"

#include "browser_address.h"
#include "widgets/focus_return.h"
#include "widgets/window_design.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

namespace vortigo {

namespace {

// The text of a byte string when it is UTF-8; nothing otherwise.
std::optional<QString> utf8Text(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes));
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

}  // namespace

QString qtFileName(const std::filesystem::path& path)
{
    // Qt spells file names in Unicode, which cannot carry every byte a folder
    // name may hold. Such a path goes relative to the current folder (the
    // program's own from start-up on), whose name Qt then never spells.
    if (std::optional<QString> text = utf8Text(path.native()))
        return *text;
    std::error_code ec;
    const std::filesystem::path relative = path.lexically_relative(std::filesystem::current_path(ec));
    if (std::optional<QString> text = ec || relative.empty() ? std::nullopt : utf8Text(relative.native()))
        return *text;
    return QString::fromStdString(path.native());
}

QtPlatform::QtPlatform(std::filesystem::path programFolder, std::filesystem::path moduleFolder)
    : m_folder(std::move(programFolder)), m_moduleFolder(moduleFolder.empty() ? m_folder : std::move(moduleFolder))
{
}

QtPlatform::~QtPlatform()
{
    if (m_soundStop)
        m_soundStop();
}

Answer QtPlatform::messageBox(const std::string& text, Buttons buttons)
{
    const FocusReturn back;  // to the grid's cell, or wherever the player was
    // Over the window once it is on screen; before that (a message of
    // start-up) centred on the screen rather than at the hidden window's corner.
    const bool overWindow = m_window && m_window->isVisible();
    QMessageBox box(overWindow ? m_window.data() : nullptr);
    // The box takes its final size only as it shows, after Qt has placed it
    // by an earlier one: it is centred again once it is on screen.
    if (!overWindow)
        QTimer::singleShot(0, &box, [&box] { centreOnScreen(&box); });
    box.setWindowTitle(QStringLiteral("Vortigo"));
    box.setIcon(QMessageBox::NoIcon);
    box.setText(QString::fromStdString(text));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel =
        buttons == Buttons::OkCancel ? box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole) : nullptr;
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
    return cancel != nullptr && box.clickedButton() == cancel ? Answer::Cancel : Answer::Ok;
}

void QtPlatform::playSound(const std::string& fileName)
{
    // The sound module lies beside the program and is loaded once, at the
    // first sound; without it the game plays on in silence.
    if (!m_soundLoaded) {
        m_soundLoaded = true;
        m_soundModule.setFileName(qtFileName(m_moduleFolder / "vortigo_sound"));
        if (m_soundModule.load()) {
            m_soundPlay = reinterpret_cast<SoundPlay>(m_soundModule.resolve("vortigo_sound_play"));
            m_soundStop = reinterpret_cast<SoundStop>(m_soundModule.resolve("vortigo_sound_stop"));
        }
        if (!m_soundPlay || !m_soundStop) {
            qWarning("Vortigo: no sound (%s)", qPrintable(m_soundModule.errorString()));
            m_soundPlay = nullptr;
            m_soundStop = nullptr;
        }
    }
    // Only a regular file is a sound: the player's loader would block for
    // good opening a pipe left in its place, and the program could not end.
    std::error_code ec;
    if (m_soundPlay && std::filesystem::is_regular_file(m_folder / fileName, ec)) {
        const QString path = qtFileName(m_folder / fileName);
        m_soundPlay(&path);
    }
}

void QtPlatform::pause(double seconds)
{
    // A monotonic clock: a pause across midnight ends like any other.
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() - start <= limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

std::string startTarget(const std::string& commandLine)
{
    std::string target = commandLine.rfind("start ", 0) == 0 ? commandLine.substr(6) : commandLine;
    const bool isAddress = target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
    if (isAddress)
        return browserAddress(target);
    if (!target.empty() && target.front() != '/')
        target = (std::filesystem::current_path() / target).string();
    return target;
}

void QtPlatform::runCommand(const std::string& commandLine, int)
{
    // The desktop's opener takes the target as one argument, so "&" and blanks
    // reach the browser unchanged; no shell sees it. Window styles have no
    // counterpart here.
    const std::string bytes = startTarget(commandLine);
    // A file whose path is not UTF-8 goes as a file address with its bytes
    // percent-encoded, which the opener passes on unchanged.
    const QString target = utf8Text(bytes).value_or(
        QStringLiteral("file://") + QString::fromLatin1(QByteArray::fromStdString(bytes).toPercentEncoding("/")));
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty() && QProcess::startDetached(opener, {target}))
        return;
    const bool isFile = target.startsWith(QLatin1Char('/'));
    QDesktopServices::openUrl(isFile ? QUrl::fromLocalFile(target) : QUrl(target, QUrl::TolerantMode));
}

double QtPlatform::secondsSinceMidnight()
{
    // Read before every random draw: see LocalClock for why this is not QTime.
    return m_clock.secondsSinceMidnight();
}

std::string QtPlatform::dateText()
{
    return QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")).toStdString();
}

std::string QtPlatform::timeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
}

std::string QtPlatform::groupSeparator()
{
    return QLocale().groupSeparator().toStdString();
}

void QtPlatform::setWindowPointer(Pointer shape)
{
    if (!m_window)
        return;
    m_window->setCursor(shape == Pointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
}

void QtPlatform::setScreenPointer(Pointer shape)
{
    if (shape == Pointer::Default) {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        return;
    }
    const QCursor cursor = shape == Pointer::Hand ? m_hand : QCursor(shape == Pointer::Hourglass ? Qt::WaitCursor : Qt::ArrowCursor);
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(cursor);
    else
        QApplication::setOverrideCursor(cursor);
}

void QtPlatform::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    // Queued, so it also works when asked before the event loop has started.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

}  // namespace vortigo
