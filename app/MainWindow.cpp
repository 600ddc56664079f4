#include "app/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

#include "app/AppConstants.h"
#include "app/BoardStateFile.h"
#include "app/MainWindowConstants.h"
#include "board/DayViewSource.h"
#include "browser/DeferredBrowser.h"
#include "browser/EngineLoader.h"
#include "log/ActivityLog.h"
#include "log/EchoLog.h"
#include "log/QtMessageRoute.h"
#include "pages/SelfStatusPage.h"
#include "service/SelfStatusStore.h"
#include "text/PercentEncoding.h"
#include "ui/OwnStatusDialog.h"
#include "service/AsyncLineWriter.h"
#include "text/DateTime.h"
#include "ui/LogBoxBinding.h"
#include "ui/PromptDialog.h"
#include "ui/TextBoxLines.h"
#include "ui/UiConstants.h"
#include "ui/WindowControls.h"

namespace quorvane {

namespace {

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string toBytes(const QString& text) { return text.toUtf8().toStdString(); }

const QEvent::Type MaskPromptEvent = static_cast<QEvent::Type>(QEvent::User + MaskPromptEventOffset);

}  // namespace

MainWindow::MainWindow(ProgramSettings settings, QWidget* parent)
    : QMainWindow(parent), settings_(std::move(settings)), prompt_(promptForText) {
    setWindowTitle(QLatin1String(WindowCaption));
    QPixmap icon(WindowIconSize, WindowIconSize);
    icon.fill(QColor(QLatin1String(WindowIconColour)));
    setWindowIcon(QIcon(icon));
    move(0, 0);

    QWidget* browserView = nullptr;
    if (settings_.deferBrowser) {
        // Nothing shows the browser: its engine is loaded and started only when a day view is to
        // be read.
        browser_ = std::make_unique<DeferredBrowser>([this] { return makeEngineBrowser().control; });
    } else {
        EngineBrowser engine = makeEngineBrowser();
        browserView = engine.view;
        browser_ = std::move(engine.control);
    }
    if (!browserView) browserView = new QWidget;
    controls_ = new WindowControls(browserView, this);
    setCentralWidget(controls_);
    resize(WindowClientWidth, WindowClientHeight);

    logLines_ = std::make_unique<TextBoxLines>(*controls_->logEdit);
    fragmentLines_ = std::make_unique<TextBoxLines>(*controls_->fragmentEdit);
    log_ = std::make_unique<ActivityLog>(*logLines_, clock_);
    bindLogToTextBox(*log_, *controls_->logEdit);
    logWriter_ = log_.get();
    if (settings_.echoLog) {
        // Connection threads only queue their access lines: none waits on standard output.
        echoOutput_ = std::make_unique<AsyncLineWriter>(stdout, clock_, LineQueueCapacity, settings_.journal);
        echo_ = std::make_unique<EchoLog>(
            *log_, [this](std::string bytes) { echoOutput_->write(std::move(bytes)); }, clock_,
            settings_.journal ? EchoStyle::Journal : EchoStyle::Stamped);
        logWriter_ = echo_.get();
    }
    if (!engineFailure_.empty()) logWriter_->log(std::string(EngineNotLoadedText) + engineFailure_, false);
    browser_->onProgressChange = [this](int progress, int progressMax) {
        controls_->showProgress(progress, progressMax);
    };

    if (settings_.selfStatus) {
        if (settings_.stateDirectory.empty()) {
            logWriter_->log(std::string(SelfStatusUnreadHead) + std::string(SelfStatusNoStateText), false);
        } else {
            ownStatuses_ = std::make_unique<SelfStatusStore>(settings_.stateDirectory);
            for (const std::string& problem : ownStatuses_->load(instantOfLocal(clock_.now())))
                logWriter_->log(std::string(SelfStatusUnreadHead) + problem, false);
        }
    }
    site_ = std::make_unique<BoardSite>(settings_.server, settings_.pages, clock_, *logWriter_, ownStatuses_.get());
    if (SelfStatusPages* pages = site_->ownStatusPages()) {
        // A change comes on a connection thread; the board is shown again on this one.
        pages->onChanged = [this] { QMetaObject::invokeMethod(this, [this] { showOwnStatuses(); }, Qt::QueuedConnection); };
        ownStatusEndTimer_.setSingleShot(true);
        connect(&ownStatusEndTimer_, &QTimer::timeout, this, &MainWindow::showOwnStatuses);
        controls_->ownStatusButton->show();
        connect(controls_->ownStatusButton, &QPushButton::clicked, this, &MainWindow::openOwnStatusDialog);
    }
    controller_ = std::make_unique<BoardController>(settings_.board, site_->pageAddress(), *browser_, *logWriter_,
                                                    clock_, *this,
                                                    [this](SharedSnapshot snapshot) { publish(std::move(snapshot)); });

    if (!settings_.stateDirectory.empty()) {
        stateFile_ = std::make_unique<BoardStateFile>(settings_.stateDirectory, *logWriter_, clock_);
        controller_->onGrabTried = [this] { stateFile_->save(controller_->saveState()); };
    }

    // The operator's edits of the fragment box are served until the next refresh replaces them.
    connect(controls_->fragmentEdit, &QPlainTextEdit::textChanged, this, &MainWindow::forwardFragmentEdit);
    connect(controls_->refreshButton, &QPushButton::clicked, this, &MainWindow::requestRefresh);

    refreshTimer_.setInterval(FirstRefreshDelayMs);
    grabTimer_.setInterval(GrabIntervalMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::onRefreshTimer);
    connect(&grabTimer_, &QTimer::timeout, this, &MainWindow::onGrabTimer);
    // Qt's and the engine's messages go between the program's lines, never inside one (set last:
    // a constructor that raises runs no destructor to take it back).
    if (settings_.journal && echo_)
        setQtMessageSink([this](const std::string& text, LogSeverity severity) { echo_->passLine(text, severity); });
}

MainWindow::~MainWindow() {
    // The server's threads may still be logging: the site stops them before the log and its box go.
    refreshTimer_.stop();
    grabTimer_.stop();
    controller_.reset();
    stateFile_.reset();  // a write under way is given up; its thread may log until it ends
    site_.reset();
    if (log_) log_->onWake = nullptr;
    if (settings_.journal && echo_) setQtMessageSink(nullptr);
    echo_.reset();
    echoOutput_.reset();  // writes out what is queued
    log_.reset();
    browser_.reset();
}

void MainWindow::start() {
    std::string userId, password;
    // A roster without web-calendar people needs no log-in: nothing is asked.
    const bool asks = !settings_.credentials && rosterFileNeedsWebCalendar(settings_.board.rosterFile);
    if (settings_.credentials) {
        userId = settings_.credentials->userId;
        password = settings_.credentials->password;
    }
    // The prompts repeat until both answers are given, unless the program is asked to stop
    // meanwhile (a stop signal closes the window while a prompt is open).
    while (asks && (userId.empty() || password.empty()) && !closed_) {
        userId = prompt_(UserIdPromptCaption, UserIdPromptText, "");
        if (closed_) break;
        QCoreApplication::postEvent(this, new QEvent(MaskPromptEvent));
        password = prompt_(PasswordPromptCaption, PasswordPromptText, "");
    }
    if (closed_) return;
    controller_->start(userId, password);
    // The last run's data is served at once, flagged as not current, until a grab succeeds.
    if (stateFile_) {
        if (std::optional<QJsonObject> saved = stateFile_->load()) controller_->restoreState(*saved);
    }
    refreshTimer_.start();
    grabTimer_.start();
    setGrabCaption();
}

void MainWindow::onRefreshTimer() {
    if (refreshTimer_.interval() != RefreshIntervalMs) refreshTimer_.setInterval(RefreshIntervalMs);
    refreshTimer_.stop();
    controller_->requestRefresh();
}

void MainWindow::onGrabTimer() {
    controller_->requestGrab();
    setGrabCaption();
}

void MainWindow::stopTimers() {
    refreshTimer_.stop();
    grabTimer_.stop();
}

std::string MainWindow::fakeTimeText() const { return toBytes(controls_->fakeTimeEdit->text()); }

bool MainWindow::forceGrabChecked() const { return controls_->forceGrabBox->isChecked(); }

void MainWindow::setForceGrabChecked(bool checked) { controls_->forceGrabBox->setChecked(checked); }

void MainWindow::publish(SharedSnapshot snapshot) {
    // The roster this snapshot is of decides whose statuses and links are kept, before it is shown.
    if (ownStatuses_) dropGonePeople();
    site_->publish(std::move(snapshot));
    // The site serves this fragment already; filling the box is not an operator's edit.
    const QSignalBlocker quiet(controls_->fragmentEdit);
    fragmentLines_->setText(site_->board().fragment());
    if (ownStatuses_) awaitNextOwnStatusEnd();
}

void MainWindow::showOwnStatuses() {
    if (!ownStatuses_) return;
    site_->republish();
    {
        const QSignalBlocker quiet(controls_->fragmentEdit);
        fragmentLines_->setText(site_->board().fragment());
    }
    awaitNextOwnStatusEnd();
}

void MainWindow::awaitNextOwnStatusEnd() {
    const Instant now = instantOfLocal(clock_.now());
    if (const std::optional<Instant> end = ownStatuses_->nextEnd(now)) {
        // Just after the end, and at least every few minutes, so a clock that jumps is followed.
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*end - now) + OwnStatusEndSlack;
        ownStatusEndTimer_.start(std::min(wait, OwnStatusLongestWait));
    } else {
        ownStatusEndTimer_.stop();
    }
}

void MainWindow::dropGonePeople() {
    std::vector<std::string> names;
    for (const Person& person : controller_->roster()) names.push_back(person.name);
    // An empty roster is one that did not read: nobody is dropped for it.
    if (names.empty() || names == rosterNames_) return;
    rosterNames_ = names;
    try {
        if (ownStatuses_->keepOnly(std::set<std::string>(names.begin(), names.end())))
            logWriter_->log(std::string(SelfStatusesDropped), false);
    } catch (const std::exception& error) {
        logWriter_->log(std::string(SelfNotSavedHead) + error.what(), false);
    }
}

void MainWindow::openOwnStatusDialog() {
    QStringList names;
    for (const Person& person : controller_->roster())
        if (!names.contains(fromBytes(person.name))) names << fromBytes(person.name);
    auto* dialog = new OwnStatusDialog(names, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->onRequest = [this](const OwnStatusRequest& request) { applyOwnStatusRequest(request); };
    dialog->open();  // not exec(): no event loop of its own
}

void MainWindow::applyOwnStatusRequest(const OwnStatusRequest& request) {
    SelfStatusPages* pages = site_->ownStatusPages();
    if (!pages) return;
    // Checked as a page's post is, so the operator's statuses follow the same rules.
    std::string body = request.clear ? "clear=1" : "text=" + percentEncode(request.text);
    if (request.until) body += "&until=" + toBytes(request.until->toString(QStringLiteral("yyyy-MM-ddTHH:mm")));
    const StatusForm form = readStatusForm(body, instantOfLocal(clock_.now()));
    if (!form.error.empty()) {
        logWriter_->log(std::string(SelfLogHead) + request.name + std::string(SelfNotSetText) + form.error, false);
        return;
    }
    std::optional<OwnStatus> status;
    if (!form.clear) status = OwnStatus{form.text, form.until};
    pages->change(request.name, std::move(status), std::string(SelfLogOperator));
}

EngineBrowser MainWindow::makeEngineBrowser() {
    const EngineLoad loaded = loadBrowserEngine();
    if (loaded.engine) return loaded.engine->makeBrowser(settings_.trust);
    if (logWriter_)
        logWriter_->log(std::string(EngineNotLoadedText) + loaded.failure, false);
    else
        engineFailure_ = loaded.failure;
    return EngineBrowser{unavailableBrowser(), nullptr};
}

void MainWindow::enableRefreshTimer() {
    if (!refreshTimer_.isActive()) refreshTimer_.start();  // enabling an enabled timer does not restart it
}

void MainWindow::setGrabCaption() {
    const DateTime next = addSeconds(clockNow(), grabTimer_.interval() / MillisecondsPerSecond);
    controls_->refreshButton->setText(fromBytes(GrabCaptionHead + dateTimeToText(GrabCaptionPattern, next)));
}

void MainWindow::forwardFragmentEdit() { site_->board().editFragment(fragmentLines_->text()); }

bool MainWindow::event(QEvent* event) {
    if (event->type() == MaskPromptEvent) {
        maskActivePromptEdit();
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    stopTimers();
    // Whatever the refresh has under way ends at once; nothing waits for it.
    if (controller_) controller_->stopFetching();
    event->accept();
    closed_ = true;
    // Closed during start-up, a prompt is still waiting: it is cancelled, so start-up can end.
    if (QWidget* prompt = QApplication::activeModalWidget()) prompt->close();
    QCoreApplication::quit();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) reloadLocaleFormats();
    QMainWindow::changeEvent(event);
}

}  // namespace quorvane
