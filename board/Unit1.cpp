#include "board/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCheckBox>
#include <cstdio>

#include "board/Refresh.h"
#include "browser/BrowserDriver.h"
#include "text/DateTime.h"
#include "ui/ActivityLog.h"
#include "ui/EchoLog.h"
#include "ui/FormClient.h"
#include "ui/MemoLog.h"
#include "ui/MemoStrings.h"
#include "ui/PromptDialog.h"
#include "ui/UiConstants.h"
#include "webserver/BoardPage.h"
#include "webserver/ServerConstants.h"

namespace {

QString FromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string ToBytes(const QString& text) { return text.toUtf8().toStdString(); }

const QEvent::Type MaskPromptEvent = static_cast<QEvent::Type>(QEvent::User + MaskPromptEventOffset);

}  // namespace

TForm1::TForm1(TFormSettings settings, QWidget* parent)
    : QMainWindow(parent), settings_(std::move(settings)), prompt_(PromptForText) {
    setWindowTitle(QLatin1String(FormCaption));
    QPixmap icon(FormIconSize, FormIconSize);
    icon.fill(QColor(QLatin1String(FormIconColour)));
    setWindowIcon(QIcon(icon));
    move(0, 0);

    browser_ = std::make_unique<TWebEngineControl>(nullptr, settings_.Trust);
    client_ = new TFormClient(browser_->View(), this);
    setCentralWidget(client_);
    resize(FormClientWidth, FormClientHeight);

    logLines_ = std::make_unique<TMemoStrings>(*client_->memoLog);
    htmlLines_ = std::make_unique<TMemoStrings>(*client_->memoHTML);
    log_ = std::make_unique<TActivityLog>(*logLines_, clock_);
    BindLogToMemo(*log_, *client_->memoLog);
    logWriter_ = log_.get();
    if (settings_.EchoLog) {
        echo_ = std::make_unique<TEchoLog>(*log_, stdout);
        logWriter_ = echo_.get();
    }

    driver_ = std::make_unique<TBrowserDriver>(*browser_, *logWriter_, clock_, state_.PageLoaded);
    driver_->SetTimeoutSeconds(settings_.PageWaitSeconds);
    refresh_ = std::make_unique<TRefreshCycle>(roster_, state_, *driver_, *logWriter_, clock_, *this,
                                               settings_.CalendarHost);
    browser_->OnProgressChange = [this](int progress, int progressMax) {
        WebBrowser1ProgressChange(progress, progressMax);
    };

    // The web server serves a copy of memoHTML's text, renewed at every change, edits included.
    connect(client_->memoHTML, &QPlainTextEdit::textChanged, this, &TForm1::MirrorBoardFragment);
    connect(client_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

    timer1_.setInterval(Timer1DefaultInterval);
    timer2_.setInterval(GrabInterval);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&timer2_, &QTimer::timeout, this, &TForm1::Timer2Timer);

    server_ = std::make_unique<TIdHTTPServer>();
    server_->SetDefaultPort(settings_.Port);
    // Served connections leave the port in TIME_WAIT for a minute; without address reuse a
    // restarted board could not listen again until then. A live listener still excludes another.
    server_->SetReuseSocket(TIdReuseSocket::rsTrue);
    server_->SetServerSoftware(std::string(BoardServerSoftware));
    server_->OnCommandGet = [this](TIdContext& context, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
        IdHTTPServer1CommandGet(context, request, response);
    };
    server_->SetActive(true);
}

TForm1::~TForm1() {
    // The server's threads may still be logging: stop them before the log and its box go.
    if (server_) server_->SetActive(false);
    server_.reset();
    timer1_.stop();
    timer2_.stop();
    refresh_.reset();
    driver_.reset();
    if (log_) log_->OnWake = nullptr;
    echo_.reset();
    log_.reset();
    browser_.reset();
}

void TForm1::FormCreate() {
    if (settings_.Credentials) {
        state_.UserId = settings_.Credentials->UserId;
        state_.Password = settings_.Credentials->Password;
    }
    // The prompts repeat until both answers are given, unless the program is asked to stop
    // meanwhile (a stop signal closes the window while a prompt is open).
    while ((state_.UserId.empty() || state_.Password.empty()) && !closed_) {
        state_.UserId = prompt_(UserIdPromptCaption, UserIdPromptText, "");
        if (closed_) break;
        QCoreApplication::postEvent(this, new QEvent(MaskPromptEvent));
        state_.Password = prompt_(PasswordPromptCaption, PasswordPromptText, "");
    }
    if (closed_) return;
    state_.PageLoaded = false;
    state_.GrabPending = true;
    LoadRoster(roster_);
    timer1_.start();
    timer2_.start();
    SetGrabCaption();
}

void TForm1::MaskPasswordPrompt() { MaskActivePromptEdit(); }

void TForm1::Timer1Timer() {
    if (timer1_.interval() != RefreshInterval) timer1_.setInterval(RefreshInterval);
    timer1_.stop();
    refresh_->Button1Click();
}

void TForm1::Timer2Timer() {
    state_.GrabPending = true;
    SetGrabCaption();
}

void TForm1::FormClose() {
    timer1_.stop();
    timer2_.stop();
}

void TForm1::Button1Click() { refresh_->Button1Click(); }

void TForm1::IdHTTPServer1CommandGet(TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
    ServeBoardPage(fragment_.Snapshot(), clock_, *logWriter_, request, response);
}

void TForm1::WebBrowser1ProgressChange(int progress, int progressMax) {
    client_->WebBrowser1ProgressChange(progress, progressMax);
}

std::string TForm1::FakeTimeText() const { return ToBytes(client_->txtDateTime->text()); }

bool TForm1::ForceGrabChecked() const { return client_->cbForceGrab->isChecked(); }

void TForm1::SetForceGrabChecked(bool checked) { client_->cbForceGrab->setChecked(checked); }

void TForm1::SetBoardFragment(const std::string& fragment) {
    // One step for the server: the box is filled, then the exact text replaces the copy whole.
    settingFragment_ = true;
    htmlLines_->SetText(fragment);
    settingFragment_ = false;
    fragment_.Replace(fragment);
}

void TForm1::EnableRefreshTimer() {
    if (!timer1_.isActive()) timer1_.start();  // enabling an enabled timer does not restart it
}

void TForm1::SetGrabCaption() {
    const TDateTime next = AddSeconds(ClockNow(), timer2_.interval() / MillisecondsPerSecond);
    client_->Button1->setText(FromBytes(GrabCaptionHead + DateTimeToText(GrabCaptionPattern, next)));
}

void TForm1::MirrorBoardFragment() {
    if (!settingFragment_) fragment_.Replace(htmlLines_->Text());
}

bool TForm1::event(QEvent* event) {
    if (event->type() == MaskPromptEvent) {
        MaskPasswordPrompt();
        return true;
    }
    return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    // A close handled inside a refresh's wait leaves the window up until that refresh has ended.
    if (refresh_ && refresh_->Running()) {
        event->ignore();
        if (!closeRequested_) {
            closeRequested_ = true;
            auto retry = new QTimer(this);
            connect(retry, &QTimer::timeout, this, [this, retry] {
                if (refresh_->Running()) return;
                retry->stop();
                retry->deleteLater();
                close();
            });
            retry->start(CloseRetryMilliseconds);
        }
        return;
    }
    event->accept();
    closed_ = true;
    // Closed during start-up, a prompt is still waiting: it is cancelled, so start-up can end.
    if (QWidget* prompt = QApplication::activeModalWidget()) prompt->close();
    QCoreApplication::quit();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) ReloadLocaleFormats();
    QMainWindow::changeEvent(event);
}
