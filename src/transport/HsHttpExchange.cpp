#include "transport/HsHttpExchange.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Connections kept open per thread for later calls; a thread talks to one endpoint as a rule.
constexpr long kKeptConnections = 4;
// A connection idle for longer than this many whole seconds (so for 2 s or more) is closed instead
// of reused. Servers close idle connections after a few seconds (the reference service after 3);
// one reused just as the server closes it would lose the call.
constexpr long kLongestIdleSeconds = 1;
// Longest wait between two looks at the abandon flag when nothing wakes the thread earlier.
constexpr int kLongestWaitMs = 1000;

// A request up to this size goes out in one segment on any path (the smallest segment size of
// IPv6 paths is 1220 bytes), with nothing of ours unacknowledged before it: the previous answer
// has arrived. Small segments are then never held back, so such a request leaves the socket's
// default delay for small segments on and saves a system call on each new connection. Larger
// requests turn the delay off, so that the tail of one is never held back.
constexpr size_t kOneSegmentRequestBytes = 1200;
// Room kept for the request line and headers curl writes before the body.
constexpr size_t kRequestHeadBytes = 400;

constexpr const char *kAbandonedDescription = "The call was abandoned";
constexpr const char *kNotSentTwiceDescription =
    "The connection was lost after the request was sent; the request is not sent again";

// Every thread's wake-up descriptor, so that abandoning calls can wake each one out of its wait.
// Made once and never destroyed: threads may still end after the program's static objects are
// gone.
struct CallRegistry
{
    std::atomic<bool> abandoning{false};
    std::mutex mutex;
    std::vector<int> wakeUps;
};

CallRegistry &callRegistry()
{
    static CallRegistry *registry = new CallRegistry;
    return *registry;
}

// The sockets curl wants watched for the transfer in progress and when it wants to be called
// back without any; filled in by curl's callbacks while the thread drives the transfer.
struct Watch
{
    std::vector<pollfd> sockets;
    long timeoutMs = -1;
};

int watchSocket(CURL *, curl_socket_t socket, int what, void *userData, void *)
{
    auto &sockets = static_cast<Watch *>(userData)->sockets;
    const auto found = std::find_if(sockets.begin(), sockets.end(),
                                    [socket](const pollfd &entry) { return entry.fd == socket; });
    if (what == CURL_POLL_REMOVE) {
        if (found != sockets.end())
            sockets.erase(found);
        return 0;
    }
    const short events =
        static_cast<short>(((what & CURL_POLL_IN) ? POLLIN : 0) | ((what & CURL_POLL_OUT) ? POLLOUT : 0));
    if (found != sockets.end())
        found->events = events;
    else
        sockets.push_back(pollfd{socket, events, 0});
    return 0;
}

int watchTimer(CURLM *, long timeoutMs, void *userData)
{
    static_cast<Watch *>(userData)->timeoutMs = timeoutMs;
    return 0;
}

// The curl handles of one thread, kept from call to call: the transfer set holds the resolver
// cache and the open connections, the easy handle its buffers. The thread waits on the sockets
// itself, so that curl is told which socket is ready and does not look again on its own; an
// event descriptor of the thread's own wakes that wait when calls are abandoned. All of it is
// used only by the thread that owns it; other threads only signal the event descriptor, under
// the registry's lock, which the destructor takes before the descriptor goes.
class ThreadHandles
{
public:
    ThreadHandles()
        : m_multi(curl_multi_init()), m_easy(curl_easy_init()),
          m_wakeUp(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {
        if (m_multi == nullptr || m_wakeUp < 0)
            return;
        curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, kKeptConnections);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, watchSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, &m_watch);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, watchTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, &m_watch);
        CallRegistry &registry = callRegistry();
        std::lock_guard lock(registry.mutex);
        registry.wakeUps.push_back(m_wakeUp);
    }

    ~ThreadHandles()
    {
        if (m_wakeUp >= 0) {
            CallRegistry &registry = callRegistry();
            {
                std::lock_guard lock(registry.mutex);
                std::erase(registry.wakeUps, m_wakeUp);
            }
        }
        if (m_easy != nullptr)
            curl_easy_cleanup(m_easy);
        // Closing the kept connections reports their sockets as removed, into m_watch.
        if (m_multi != nullptr)
            curl_multi_cleanup(m_multi);
        if (m_wakeUp >= 0)
            ::close(m_wakeUp);
    }

    ThreadHandles(const ThreadHandles &) = delete;
    ThreadHandles &operator=(const ThreadHandles &) = delete;

    bool usable() const { return m_multi != nullptr && m_easy != nullptr && m_wakeUp >= 0; }
    CURLM *multi() const { return m_multi; }
    CURL *easy() const { return m_easy; }
    int wakeUp() const { return m_wakeUp; }
    Watch &watch() { return m_watch; }

private:
    Watch m_watch;
    CURLM *m_multi;
    CURL *m_easy;
    int m_wakeUp;
};

// Made on a thread's first call and destroyed when the thread ends (or when told to let go).
thread_local std::optional<ThreadHandles> threadHandles;

ThreadHandles &handlesOfThisThread()
{
    if (!threadHandles)
        threadHandles.emplace();
    return *threadHandles;
}

struct AnswerSink
{
    std::string *body;
    bool tooLarge = false;
};

size_t appendAnswer(char *data, size_t size, size_t count, void *userData)
{
    auto *sink = static_cast<AnswerSink *>(userData);
    const size_t length = size * count;
    if (sink->body->size() + length > HsHttpExchange::kMaxAnswerBytes) {
        sink->tooLarge = true;
        return 0; // anything but length makes the transfer stop here
    }
    sink->body->append(data, length);
    return length;
}

std::string answerTooLargeDescription()
{
    return "The answer is larger than " + std::to_string(HsHttpExchange::kMaxAnswerBytes) + " bytes";
}

struct CurlListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

// Counts how often curl is about to send the request. It does so once per call, unless a reused
// connection dies without a byte of answer: then it would dial again and send the request a
// second time. The first request may already have reached the service, so the call stops there
// instead. A kept connection that the server had closed is noticed before anything is sent on it
// and is redialled without coming here twice.
struct SendCount
{
    int requests = 0;
    bool refusedAgain = false;
};

int beforeRequest(void *userData, char *, char *, int, int)
{
    auto *count = static_cast<SendCount *>(userData);
    if (++count->requests == 1)
        return CURL_PREREQFUNC_OK;
    count->refusedAgain = true;
    return CURL_PREREQFUNC_ABORT;
}

// Empties the wake-up descriptor, which stays readable once signalled.
void drainWakeUp(int wakeUp)
{
    eventfd_t count = 0;
    eventfd_read(wakeUp, &count);
}

// The transfer's outcome once curl reports it done, or nothing while it runs.
std::optional<CURLcode> finishedTransfer(CURLM *multi)
{
    int queued = 0;
    while (const CURLMsg *message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE)
            return message->data.result;
    }
    return std::nullopt;
}

// Drives the transfer of the easy handle to its end on this thread's transfer set: waits for the
// sockets curl names (or for its timer) and tells curl which one is ready and how. Wakes at least
// once a second and whenever calls are abandoned. Returns the transfer's outcome, or nothing
// when it was abandoned.
std::optional<CURLcode> transfer(ThreadHandles &handles)
{
    const CallRegistry &registry = callRegistry();
    CURLM *multi = handles.multi();
    Watch &watch = handles.watch();
    std::vector<pollfd> waitingOn;
    int running = 0;
    if (curl_multi_socket_action(multi, CURL_SOCKET_TIMEOUT, 0, &running) != CURLM_OK)
        return CURLE_FAILED_INIT;
    while (running != 0) {
        if (registry.abandoning)
            return std::nullopt;
        // Curl may need to be called at once (a timer of zero): no wait then.
        const int waitMs = watch.timeoutMs < 0 || watch.timeoutMs > kLongestWaitMs
                               ? kLongestWaitMs
                               : static_cast<int>(watch.timeoutMs);
        int ready = 0;
        if (waitMs > 0) {
            waitingOn.assign(watch.sockets.begin(), watch.sockets.end());
            waitingOn.push_back(pollfd{handles.wakeUp(), POLLIN, 0});
            ready = ::poll(waitingOn.data(), waitingOn.size(), waitMs);
            if (ready < 0 && errno != EINTR)
                return CURLE_FAILED_INIT;
        }
        if (registry.abandoning)
            return std::nullopt;
        CURLMcode acted = CURLM_OK;
        if (ready <= 0) {
            // Curl sets its timer anew from here if it still needs one.
            watch.timeoutMs = -1;
            acted = curl_multi_socket_action(multi, CURL_SOCKET_TIMEOUT, 0, &running);
        } else {
            for (const pollfd &entry : waitingOn) {
                if (entry.revents == 0)
                    continue;
                if (entry.fd == handles.wakeUp()) {
                    drainWakeUp(entry.fd);
                    continue;
                }
                const int bits = ((entry.revents & POLLIN) ? CURL_CSELECT_IN : 0) |
                                 ((entry.revents & POLLOUT) ? CURL_CSELECT_OUT : 0) |
                                 ((entry.revents & (POLLERR | POLLHUP | POLLNVAL)) ? CURL_CSELECT_ERR : 0);
                acted = curl_multi_socket_action(multi, entry.fd, bits, &running);
                if (acted != CURLM_OK)
                    break;
            }
        }
        if (acted != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    return finishedTransfer(multi).value_or(CURLE_OK);
}

} // namespace

std::optional<std::string> HsHttpExchange::post(const std::string &url, const std::string &body,
                                                const std::vector<std::string> &headers, long timeoutSeconds,
                                                std::string &answer)
{
    if (callRegistry().abandoning)
        return kAbandonedDescription;
    ThreadHandles &handles = handlesOfThisThread();
    if (!handles.usable())
        return "Could not create an HTTP request";
    CURL *curl = handles.easy();
    CURLM *multi = handles.multi();
    std::unique_ptr<curl_slist, CurlListDeleter> headerList;
    for (const std::string &header : headers)
        headerList.reset(curl_slist_append(headerList.release(), header.c_str()));
    // Empty values stop curl from sending its own "Expect: 100-continue" and "Accept: */*".
    headerList.reset(curl_slist_append(headerList.release(), "Expect:"));
    headerList.reset(curl_slist_append(headerList.release(), "Accept:"));

    std::array<char, CURL_ERROR_SIZE> errorText{};
    AnswerSink sink{&answer};
    SendCount sends;
    // Whatever the last call set goes; the connections, resolver cache and buffers stay.
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(HsHttpExchange::kMaxAnswerBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendAnswer);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText.data());
    curl_easy_setopt(curl, CURLOPT_MAXAGE_CONN, kLongestIdleSeconds);
    curl_easy_setopt(curl, CURLOPT_TCP_NODELAY,
                     body.size() + kRequestHeadBytes <= kOneSegmentRequestBytes ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, beforeRequest);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &sends);

    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        return "Could not start the HTTP request";
    const std::optional<CURLcode> result = transfer(handles);
    // Taken out before it ends, a transfer is stopped and its connection closed, never kept.
    curl_multi_remove_handle(multi, curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (result == CURLE_OK)
        return std::nullopt;
    answer.clear();
    if (!result)
        return kAbandonedDescription;
    if (sends.refusedAgain)
        return kNotSentTwiceDescription;
    if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        return answerTooLargeDescription();
    if (errorText[0] != '\0')
        return std::string(errorText.data());
    return std::string(curl_easy_strerror(*result));
}

void HsHttpExchange::abandonCalls(bool abandon)
{
    CallRegistry &registry = callRegistry();
    registry.abandoning = abandon;
    if (!abandon)
        return;
    std::lock_guard lock(registry.mutex);
    for (const int wakeUp : registry.wakeUps)
        eventfd_write(wakeUp, 1);
}

bool HsHttpExchange::callsAbandoned()
{
    return callRegistry().abandoning;
}

void HsHttpExchange::closeConnectionsOfThisThread()
{
    threadHandles.reset();
}
