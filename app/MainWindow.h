#pragma once
// The operator window: shows the board's log, its browser and its fragment, and the operator's
// controls (fake time, force grab, the refresh button), and drives the board controller from
// them and from its two timers. Everything else is the controller's.
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/BoardController.h"
#include "board/RefreshHost.h"
#include "browser/BrowserConstants.h"
#include "browser/WebEngineControl.h"
#include "text/Clock.h"
#include "webserver/ServerConstants.h"

class ActivityLog;
class LogWriter;
class TextBoxLines;
class WindowControls;

struct Credentials {
    std::string userId, password;
};

// What the program's options give the window.
struct WindowSettings {
    std::string calendarHost;
    CalendarTrust trust;
    std::optional<Credentials> credentials;        // given: no prompts
    std::uint16_t port = BoardPort;
    std::vector<std::string> bindAddresses;        // empty: every address
    std::string rosterFile = std::string(RosterFileName);
    bool echoLog = false;                          // also write the log to standard output
    int pageWaitSeconds = PageWaitTimeoutSeconds;  // each page wait's limit; shorter only in tests
    CalendarFetchSettings calendarFetch;           // people read from calendar addresses
    std::optional<GraphSettings> m365;             // m365: people; none when no identity was given
    std::optional<GoogleSettings> google;          // google: people; none when no identity was given
    WallPageSettings wall;                         // the wall page instead of the classic one
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
    bool calendarHttps = false;                    // day views over https too
};

// Asks for a text: caption, prompt, default text in; the answer out.
using PromptFunction = std::function<std::string(const std::string&, const std::string&, const std::string&)>;

class MainWindow final : public QMainWindow, public RefreshHost {
    Q_OBJECT
public:
    // Builds the window and the board; the web server listens when this returns (it raises
    // CouldNotBindError when it cannot).
    explicit MainWindow(WindowSettings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: credentials (asked for unless given), roster, timers, button caption.
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
    void showFragment(const std::string& fragment) override;
    void enableRefreshTimer() override;

    void setPromptFunction(PromptFunction prompt) { prompt_ = std::move(prompt); }
    // Whether the window has been closed (the program is ending).
    bool closed() const { return closed_; }
    WindowControls& controls() const { return *controls_; }
    QTimer& refreshTimer() { return refreshTimer_; }
    QTimer& grabTimer() { return grabTimer_; }
    LogWriter& log() const { return *logWriter_; }
    BoardController& controller() { return *controller_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setGrabCaption();
    void forwardFragmentEdit();

    WindowSettings settings_;
    SystemClock clock_;
    PromptFunction prompt_;
    QTimer refreshTimer_;
    QTimer grabTimer_;
    std::unique_ptr<WebEngineControl> browser_;
    WindowControls* controls_ = nullptr;
    std::unique_ptr<TextBoxLines> logLines_;
    std::unique_ptr<TextBoxLines> fragmentLines_;
    std::unique_ptr<ActivityLog> log_;
    std::unique_ptr<LogWriter> echo_;
    LogWriter* logWriter_ = nullptr;
    std::unique_ptr<BoardController> controller_;
    bool closed_ = false;
};
