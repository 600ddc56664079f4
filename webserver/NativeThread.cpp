#include "webserver/NativeThread.h"

#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

#include "webserver/ServerConstants.h"

namespace quorvane {

namespace {
void* runBody(void* argument) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
    (*body)();
    return nullptr;
}
}  // namespace

NativeThread::NativeThread(std::function<void()> body, std::size_t stackBytes) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    const int error = pthread_create(&handle_, &attributes, runBody, owned.get());
    pthread_attr_destroy(&attributes);
    if (error != 0) throw std::system_error(error, std::generic_category(), "pthread_create");
    owned.release();
    started_ = true;
}

NativeThread::NativeThread(NativeThread&& other) noexcept : handle_(other.handle_), started_(other.started_) {
    other.started_ = false;
}

NativeThread& NativeThread::operator=(NativeThread&& other) noexcept {
    if (this != &other) {
        join();
        handle_ = other.handle_;
        started_ = other.started_;
        other.started_ = false;
    }
    return *this;
}

NativeThread::~NativeThread() { join(); }

void NativeThread::join() {
    if (!started_) return;
    pthread_join(handle_, nullptr);
    started_ = false;
}

bool NativeThread::tryJoin() {
    if (!started_) return true;
    if (pthread_tryjoin_np(handle_, nullptr) != 0) return false;
    started_ = false;
    return true;
}

void NativeThread::nameCurrent(const std::string& name) {
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

void NativeThread::raiseCurrentPriority() {
    // A lower nice value for this thread alone; refused without the privilege, which is fine.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), ListenerNiceValue);
}

}  // namespace quorvane
