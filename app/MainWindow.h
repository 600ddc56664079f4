#pragma once
// The operator window: shows the board's log, its browser and its fragment, and the operator's
// controls (fake time, force grab, the refresh button), and drives the board controller from
// them and from its two timers. It wires the controller to the served pages: every snapshot the
// board publishes goes to the site and its fragment into the fragment box.
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BoardSite.h"
#include "board/BoardController.h"
#include "board/RefreshHost.h"
#include "browser/BrowserEngine.h"
#include "browser/CalendarTrust.h"
#include "pages/BoardRequestHandler.h"
#include "text/Clock.h"

namespace quorvane {

class ActivityLog;
class EchoLog;
class AsyncLineWriter;
class BoardStateFile;
class LogWriter;
class SelfStatusStore;
class TextBoxLines;
struct OwnStatusRequest;
class WindowControls;

struct Credentials {
    std::string userId, password;
};

// Everything the program's options decide, made once from them and handed on whole: each part
// goes as it is to the piece it configures.
struct ProgramSettings {
    BoardSettings board;                      // the board controller's
    ServerSettings server;                    // where the pages are served
    PageSettings pages;                       // which page, and how
    CalendarTrust trust;                      // the window's browser
    std::optional<Credentials> credentials;   // given: no prompts
    bool echoLog = false;                     // also write the log to standard output
    bool journal = false;                     // standard output is systemd's journal: priorities, no stamps
    std::string stateDirectory;               // where the board's data is kept between runs; empty: nowhere
    bool deferBrowser = false;                // no window to show it in: the browser is made on first use
    bool selfStatus = false;                  // people set their own status (needs the state directory)
};

// Asks for a text: caption, prompt, default text in; the answer out.
using PromptFunction = std::function<std::string(const std::string&, const std::string&, const std::string&)>;

class MainWindow final : public QMainWindow, public RefreshHost {
    Q_OBJECT
public:
    // Builds the window, the served pages and the board; the web server listens when this
    // returns (it raises CouldNotBindError when it cannot).
    explicit MainWindow(ProgramSettings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: credentials (asked for when the roster needs the web calendar, unless given),
    // roster, timers, button caption.
    void start();
    void onRefreshTimer();
    void onGrabTimer();
    void stopTimers();
    void requestRefresh() { controller_->requestRefresh(); }
    void reloadRoster() { controller_->reloadRoster(); }

    // RefreshHost
    std::string fakeTimeText() const override;
    bool forceGrabChecked() const override;
    void setForceGrabChecked(bool checked) override;
    void enableRefreshTimer() override;

    void setPromptFunction(PromptFunction prompt) { prompt_ = std::move(prompt); }
    // Whether the window has been closed (the program is ending).
    bool closed() const { return closed_; }
    WindowControls& controls() const { return *controls_; }
    QTimer& refreshTimer() { return refreshTimer_; }
    QTimer& grabTimer() { return grabTimer_; }
    LogWriter& log() const { return *logWriter_; }
    BoardController& controller() { return *controller_; }
    BoardSite& site() { return *site_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setGrabCaption();
    void forwardFragmentEdit();
    // A new snapshot: served from now on, and its fragment shown in the fragment box.
    void publish(SharedSnapshot snapshot);
    // A browser on the engine, loaded at the first call; when it cannot be, the reason is logged
    // (once, or kept in engineFailure_ until the log exists) and the browser fails every load.
    EngineBrowser makeEngineBrowser();
    // People's own statuses: the board shown again with them as they are now, the next end
    // awaited, and those of people gone from the roster dropped.
    void showOwnStatuses();
    void awaitNextOwnStatusEnd();
    void dropGonePeople();
    void openOwnStatusDialog();
    void applyOwnStatusRequest(const OwnStatusRequest& request);

    ProgramSettings settings_;
    SystemClock clock_;
    PromptFunction prompt_;
    QTimer refreshTimer_;
    QTimer grabTimer_;
    std::unique_ptr<BrowserControl> browser_;  // the engine's control, or one that makes it on first use
    WindowControls* controls_ = nullptr;
    std::unique_ptr<TextBoxLines> logLines_;
    std::unique_ptr<TextBoxLines> fragmentLines_;
    std::unique_ptr<ActivityLog> log_;
    std::unique_ptr<AsyncLineWriter> echoOutput_;  // standard output, written by a thread of its own
    std::unique_ptr<EchoLog> echo_;
    LogWriter* logWriter_ = nullptr;
    std::unique_ptr<SelfStatusStore> ownStatuses_;  // before site_, which serves from it
    std::unique_ptr<BoardSite> site_;
    std::unique_ptr<BoardController> controller_;
    std::unique_ptr<BoardStateFile> stateFile_;
    QTimer ownStatusEndTimer_;
    std::vector<std::string> rosterNames_;  // the roster the own statuses were last kept to
    bool closed_ = false;
    std::string engineFailure_;  // the engine did not load before the log existed: logged then
};

}  // namespace quorvane
