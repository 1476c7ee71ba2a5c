#include "gui/main/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>
#include <iostream>

#include "core/commands/batch_commands.h"
#include "core/commands/pool_lock.h"
#include "core/pool/file_io.h"
#include "core/pool/team_files.h"
#include "core/settings/settings.h"
#include "gui/main/application.h"
#include "gui/main/ball_art.h"
#include "gui/main/data_folder.h"
#include "gui/main/help_page.h"
#include "gui/main/main_window.h"
#include "gui/main/single_instance.h"
#include "gui/main/splash.h"
#include "gui/main/termination.h"
#include "gui/settings/qt_settings.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/prompts.h"
#include "version.h"

bool checkResolution(SettingsBackend& settings, int screenWidth, int minWidth, const QString& recommended)
{
    if (screenWidth >= minWidth) return true;
    SettingsFile store(settings);
    if (store.readBool(settings::Other, settings::CheckedResolution, settings::DefaultCheckedResolution)) return true;
    const PromptAnswer answer = prompts().ask(
        PromptKind::Warning,
        QStringLiteral("The recommended screen resolution for this application is ") + recommended +
            QStringLiteral(" or higher. You can change this setting in the Display Settings under Control Panel. "
                           "Continue anyway?"),
        PromptButtons::YesNo);
    try {
        store.writeBool(settings::Other, settings::CheckedResolution, true);
    } catch (const std::exception& error) {
        // Not remembering the answer is no reason to stop: the question only comes again.
        reportError(error);
    }
    return answer != PromptAnswer::No;
}

std::unique_ptr<MainWindow> createAndLoad(SettingsBackend& settings, const QString& dataDir, SplashWindow* splash,
                                          const std::function<void(MainWindow&)>& mainWindowCreated)
{
    auto status = [splash](const char* text) {
        if (splash) splash->setSplashStatus(QString::fromLatin1(text));
    };
    status("Initializing Program...");
    setApplicationTitle(QString::fromLatin1(ApplicationTitle));
    auto main = std::make_unique<MainWindow>(settings, dataDir);
    main->winId();  // the native window exists before the start-up lock is released
    if (mainWindowCreated) mainWindowCreated(*main);
    // Start-up runs outside the event loop, where nothing may escape: each step reports its own
    // failure and start-up goes on.
    auto step = [](const std::function<void()>& run) {
        try {
            run();
        } catch (const std::exception& error) {
            reportError(error);
        }
    };
    PoolSession& session = main->session();
    // What interrupted saves left there before this run started can go.
    removeStaleTempFiles(session.dataDir(), processStartTime());
    status("Loading Teams...");
    step([&] { session.loadTeams(); });
    step([&] { session.checkRegionsFile(); });
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    status("Loading Players Picks...");
    step([&] { session.loadPlayers(); });
    QCoreApplication::processEvents();
    QGuiApplication::restoreOverrideCursor();
    return main;
}

namespace {
// Answers every box without showing it: OK where that is the only button, otherwise the answer
// that changes nothing. With echo, each box's text goes there as a line of UTF-8.
class UnshownPrompts final : public Prompts {
public:
    explicit UnshownPrompts(std::ostream* echo = nullptr) : m_echo(echo) {}
    using Prompts::ask;
    PromptAnswer ask(PromptKind, const QString& text, PromptButtons buttons, PromptAnswer) override
    {
        if (m_echo) *m_echo << "hoopfall: " << text.toStdString() << std::endl;
        if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
        return buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
    void beep() override {}
    bool saveFile(SaveFileRequest&) override { return false; }
    bool openFile(OpenFileRequest&) override { return false; }
    bool chooseFolder(FolderRequest&) override { return false; }
    bool printDialog(QPrinter&, int&) override { return false; }

private:
    std::ostream* m_echo;
};

// The application's name is the desktop's name for the program: the windows take it as their
// class (WM_CLASS on X11), by which docks and task bars group them with the menu entry. The
// folders and settings name "the Hoopfall" themselves.
void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvanta"));
    QCoreApplication::setApplicationName(QString::fromLatin1(version::DesktopId));
}

// Why the window cannot open the pool in dataDir, when the lock cannot be had.
QString poolLockRefusal(PoolLock& lock, const QString& dataDir)
{
    const QString shown = QDir::toNativeSeparators(dataDir);
    switch (lock.take(QFile::encodeName(dataDir).toStdString())) {
    case PoolLock::Outcome::Taken: return {};
    case PoolLock::Outcome::Held:
        return QStringLiteral("The program has the pool in %1 open, or a command is changing it; close it there and "
                              "start the program again.")
            .arg(shown);
    case PoolLock::Outcome::Failed: break;
    }
    return QStringLiteral(
               "The pool in %1 cannot be locked against other copies of the program, so it was not opened: %2")
        .arg(shown, QFile::decodeName(QByteArray::fromStdString(lock.reason())));
}

// The window closes the pool when it accepts its close. A run that ends without that (the event
// loop left otherwise, a close refused while terminating) closes it here; a failure goes to the
// standard error, since no box may wait for a user who may have gone. Once closed, this writes
// nothing.
void closePoolAtExit(MainWindow& main)
{
    try {
        main.session().closePool();
    } catch (const std::exception& error) {
        std::cerr << "hoopfall: " << error.what() << std::endl;
    }
}

// The title names the pool's folder when it is not the user's own, so that two pools open side
// by side can be told apart: "Corvanta: NCAA Tournament Pool Manager - office".
void namePoolInTitle(QWidget& main, const QString& dataDir)
{
    const QFileInfo pool(dataDir);
    if (pool.canonicalFilePath() == QFileInfo(userDataFolder()).canonicalFilePath()) return;
    const QString name = pool.fileName().isEmpty() ? QDir::toNativeSeparators(dataDir) : pool.fileName();
    main.setWindowTitle(main.windowTitle() + QStringLiteral(" - ") + name);
}

// A command of the command line, with its application object in place.
int runOnPool(const CommandLine& line)
{
    const bool changes = batchCommandChangesPool(line.command);
    const QString programDir = QCoreApplication::applicationDirPath();
    // A command that only reads makes no folder; one that changes the pool starts as the program does.
    const UsableFolder folder = changes ? chooseDataFolder(poolDirOf(line), programDir, userDataFolder())
                                        : findDataFolder(poolDirOf(line), programDir, userDataFolder());
    if (folder.path.isEmpty()) {
        std::cerr << "hoopfall: " << folder.error.toStdString() << std::endl;
        return BatchFailed;
    }
    // A command that changes the pool takes the pool's lock itself.
    QtSettingsStore settings;
    return runBatchCommand(line, QFile::encodeName(folder.path).toStdString(), settings, std::cout, std::cerr);
}

// A command of the command line: no window, so no display is needed.
int runBatch(int argc, char** argv, const CommandLine& line)
{
    QCoreApplication app(argc, argv);
    nameApplication();
    UnshownPrompts unshown(&std::cerr);  // the settings store reports a file it cannot read
    setPrompts(&unshown);
    const int status = runOnPool(line);
    setPrompts(nullptr);
    return status;
}
}  // namespace

int runProgram(int argc, char** argv)
{
    // Before any application object, which would need a display: the usage, every mistake, and
    // the commands. The window system's options are left to the application, and what they leave
    // is read again below.
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    {
        QTextStream out(stdout), err(stderr);
        if (const std::optional<int> code = answerUsage(line, out, err)) return *code;
    }
    if (line.command != BatchCommand::None) return runBatch(argc, argv, line);

    HoopApplication app(argc, argv);
    nameApplication();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(version::DesktopId));
    QGuiApplication::setWindowIcon(ballIcon());

    int exitCode = 0;
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString dataDir =
        resolveDataFolder(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(),
                          userDataFolder(), out, err, exitCode);
    if (dataDir.isEmpty()) return exitCode;
    setHelpCopyFolder(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                      QStringLiteral("/Corvanta/the Hoopfall"));

    // The lock and the socket live where no other user can reach them, one pair per data folder.
    SingleInstance instance(privateLockFolder(), QString::fromLatin1(StartupLockName), dataDir);
    if (instance.check(1000) != SingleInstance::Outcome::First) return 0;
    // Whatever the user, environment or path, one writer per pool; held until the window has
    // written the pool back, after main below is gone.
    PoolLock poolLock;
    if (const QString refusal = poolLockRefusal(poolLock, dataDir); !refusal.isEmpty()) {
        std::cerr << "hoopfall: " << refusal.toStdString() << std::endl;
        showError(refusal);
        return 1;
    }

    QtSettingsStore settings;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!checkResolution(settings, screen ? screen->geometry().width() : 0, 800, QStringLiteral("800x600"))) return 0;

    // A termination signal or the end of the desktop session closes the program as Exit would,
    // answering "No" for open sheets: every saved sheet is in the journal already.
    MainWindow* window = nullptr;
    bool terminating = false;
    UnshownPrompts unshown;
    TerminationWatcher watcher;
    auto terminate = [&window, &terminating, &unshown] {
        terminating = true;
        if (window) {
            window->closeWithoutQuestions();
            return;
        }
        // Start-up still loads everything, so the close writes back what was there, but shows no
        // more boxes: the next quick tip would wait for a user who has gone.
        setPrompts(&unshown);
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    };
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &app, guarded(terminate));
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, guarded(terminate));

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto splash = std::make_unique<SplashWindow>();
    splash->showAtStartUp();
    auto main = createAndLoad(settings, dataDir, splash.get(), [&instance](MainWindow&) {
        instance.listen();
        instance.releaseLock();
    });
    window = main.get();
    namePoolInTitle(*window, dataDir);
    setPrompts(nullptr);
    QObject::connect(&instance, &SingleInstance::raiseRequested, window, guarded([window] {
        if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
    }));
    splash->hide();
    splash.reset();
    QGuiApplication::restoreOverrideCursor();
    if (terminating) {
        window->closeWithoutQuestions();
        main->close();
        closePoolAtExit(*main);
        main.reset();
        return 0;
    }
    main->showAtStart();
    const int result = app.exec();
    closePoolAtExit(*main);
    main.reset();
    return result;
}
