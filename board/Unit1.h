#pragma once
// The main window TForm1: the operator's controls, the embedded browser, the activity log, the
// board web server and the two timers, wired to the board core. Its methods are the handlers.
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "board/BoardState.h"
#include "board/FormConstants.h"
#include "board/RefreshHost.h"
#include "browser/BrowserConstants.h"
#include "board/Roster.h"
#include "browser/WebEngineControl.h"
#include "text/Clock.h"
#include "webserver/BoardFragment.h"
#include "webserver/HttpRecords.h"
#include "webserver/IdContext.h"
#include "webserver/IdHTTPServer.h"
#include "webserver/ServerConstants.h"

class TActivityLog;
class TBrowserDriver;
class TFormClient;
class TLogWriter;
class TMemoStrings;
class TRefreshCycle;

struct TCredentials {
    std::string UserId, Password;
};

// What the program's options give the window.
struct TFormSettings {
    std::string CalendarHost;
    TCalendarTrust Trust;
    std::optional<TCredentials> Credentials;  // given: no prompts
    std::uint16_t Port = BoardPort;
    bool EchoLog = false;                     // also write the log to standard output
    int PageWaitSeconds = PageWaitTimeoutSeconds;  // each page wait's limit; shorter only in tests
};

// Asks for a text: caption, prompt, default text in; the answer out.
using TPromptFunction = std::function<std::string(const std::string&, const std::string&, const std::string&)>;

class TForm1 final : public QMainWindow, public TRefreshHost {
    Q_OBJECT
public:
    // Builds the window and its components; the web server listens when this returns (it raises
    // EIdCouldNotBindSocket when it cannot).
    explicit TForm1(TFormSettings settings, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up: credentials, roster, timers, button caption.
    void FormCreate();
    void MaskPasswordPrompt();
    void Timer1Timer();
    void Timer2Timer();
    void FormClose();
    void Button1Click();
    void IdHTTPServer1CommandGet(TIdContext& context, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response);
    void WebBrowser1ProgressChange(int progress, int progressMax);

    // TRefreshHost
    std::string FakeTimeText() const override;
    bool ForceGrabChecked() const override;
    void SetForceGrabChecked(bool checked) override;
    void SetBoardFragment(const std::string& fragment) override;
    void EnableRefreshTimer() override;

    void SetPromptFunction(TPromptFunction prompt) { prompt_ = std::move(prompt); }
    // Whether the window has been closed (the program is ending).
    bool Closed() const { return closed_; }
    TFormClient& Client() const { return *client_; }
    QTimer& Timer1() { return timer1_; }
    QTimer& Timer2() { return timer2_; }
    TLogWriter& Log() const { return *logWriter_; }
    TBoardState& State() { return state_; }
    TRoster& Roster() { return roster_; }
    TIdHTTPServer& IdHTTPServer1() { return *server_; }
    TBoardFragment& Fragment() { return fragment_; }
    TRefreshCycle& Refresh() { return *refresh_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetGrabCaption();
    void MirrorBoardFragment();

    TFormSettings settings_;
    TSystemClock clock_;
    TBoardState state_;
    TRoster roster_;
    TBoardFragment fragment_;
    TPromptFunction prompt_;
    QTimer timer1_;
    QTimer timer2_;
    std::unique_ptr<TWebEngineControl> browser_;
    TFormClient* client_ = nullptr;
    std::unique_ptr<TMemoStrings> logLines_;
    std::unique_ptr<TMemoStrings> htmlLines_;
    std::unique_ptr<TActivityLog> log_;
    std::unique_ptr<TLogWriter> echo_;
    TLogWriter* logWriter_ = nullptr;
    std::unique_ptr<TBrowserDriver> driver_;
    std::unique_ptr<TRefreshCycle> refresh_;
    std::unique_ptr<TIdHTTPServer> server_;
    bool settingFragment_ = false;
    bool closeRequested_ = false;
    bool closed_ = false;
};
