// The shared store: a PostgreSQL database that any number of service processes use at once.
#include "Database.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <libpq-fe.h>
#include <optional>
#include <poll.h>
#include <unordered_map>

namespace {

// Every writer of every process takes this one lock for its transaction, as sqlite's writers take
// the file's write lock: a write reads what the last one committed and never interleaves with it.
constexpr const char *kBeginWrite = "BEGIN; SELECT pg_advisory_xact_lock(7426001)";

// Unless the address says otherwise: a database that does not answer is given up on after a few
// seconds, a statement (waiting for the write turn included) after ten, and a peer that has gone
// away without a word is noticed within about ten seconds, so no worker waits on it for long. A
// commit returns only once it is on the database's disk, whatever the database's own default, since
// the answer that follows tells the caller the write is kept.
constexpr std::array<std::pair<const char *, const char *>, 8> kDefaults{{
    {"connect_timeout", "5"},
    {"keepalives", "1"},
    {"keepalives_idle", "5"},
    {"keepalives_interval", "2"},
    {"keepalives_count", "3"},
    {"tcp_user_timeout", "10000"},
    {"application_name", "hsschool-server"},
    {"options", "-c statement_timeout=10000 -c synchronous_commit=on -c client_min_messages=warning"},
}};

struct ResultDeleter
{
    void operator()(PGresult *result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// The result, or the store's own message as an error.
Result checked(PGconn *conn, PGresult *raw, std::string_view what)
{
    Result result(raw);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    std::string message = result ? PQresultErrorMessage(result.get()) : "";
    if (message.empty())
        message = PQerrorMessage(conn);
    while (!message.empty() && message.back() == '\n')
        message.pop_back();
    throw DatabaseError(std::string(what) + ": " + message);
}

// The statement's "?" and "?N" parameters as "$N", numbered as sqlite numbers them; quoted text
// is left as it is. Also answers the highest parameter number.
std::pair<std::string, int> numberedParameters(std::string_view sql)
{
    std::string out;
    int highest = 0;
    char quote = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
            out += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            continue;
        }
        if (c != '?') {
            out += c;
            continue;
        }
        int number = 0;
        const auto [end, error] = std::from_chars(sql.data() + i + 1, sql.data() + sql.size(), number);
        if (error == std::errc()) {
            i = static_cast<size_t>(end - sql.data()) - 1;
        } else {
            number = highest + 1;
        }
        highest = std::max(highest, number);
        out += "$" + std::to_string(number);
    }
    return {out, highest};
}

// How long past its own statement time-out the database may stay silent before a call gives up on
// it: a database host that is frozen rather than gone still acknowledges what is sent to it, so
// neither the time-out nor the network would ever end the wait.
constexpr std::chrono::seconds kSilenceBeyondTimeout{2};
constexpr std::chrono::seconds kSilenceWithoutTimeout{60};

// The link to the database: one query at a time, each answer awaited for a bounded time. A link
// whose database fell silent is closed for good.
class Session
{
public:
    explicit Session(const std::string &address)
    {
        std::vector<const char *> keys, values;
        for (const auto &[key, value] : kDefaults) {
            keys.push_back(key);
            values.push_back(value);
        }
        // The address comes last, so that what it says wins over the defaults.
        keys.insert(keys.end(), {"dbname", nullptr});
        values.insert(values.end(), {address.c_str(), nullptr});
        conn_ = PQconnectdbParams(keys.data(), values.data(), 1);
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
            PQfinish(conn_);
            while (!message.empty() && message.back() == '\n')
                message.pop_back();
            throw DatabaseError("connect: " + message);
        }
        try {
            const Result timeout = answer(PQsendQuery(conn_, kStatementTimeoutMs), "statement time-out");
            const std::chrono::milliseconds statementTimeout{std::atoll(PQgetvalue(timeout.get(), 0, 0))};
            if (statementTimeout.count() > 0)
                silenceLimit_ = statementTimeout + kSilenceBeyondTimeout;
        } catch (...) {
            PQfinish(conn_);
            throw;
        }
    }
    ~Session() { PQfinish(conn_); }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    PGconn *get() const { return conn_; }
    bool broken() const { return silent_ || PQstatus(conn_) != CONNECTION_OK; }

    // The answer to the query just sent (`sent` is what the sending call returned): its first
    // failure, or its last result.
    Result answer(int sent, std::string_view what)
    {
        if (!sent)
            return checked(conn_, nullptr, what);
        const auto deadline = std::chrono::steady_clock::now() + silenceLimit_;
        Result kept;
        for (;;) {
            if (!awaitReady(deadline)) {
                silent_ = true;
                throw DatabaseError(std::string(what) + ": the database did not answer in time");
            }
            Result next(PQgetResult(conn_));
            if (!next)
                break;
            if (!kept || !isFailure(kept.get()))
                kept = std::move(next);
        }
        return checked(conn_, kept.release(), what);
    }

private:
    static constexpr const char *kStatementTimeoutMs =
        "SELECT CAST(extract(epoch FROM CAST(current_setting('statement_timeout') AS interval)) * 1000 "
        "AS bigint)";

    static bool isFailure(const PGresult *result)
    {
        const ExecStatusType status = PQresultStatus(result);
        return status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK;
    }

    // Reads what arrives until a whole result is there; false when the deadline passed first. A
    // lost link also counts as ready: the result then says what went wrong.
    bool awaitReady(std::chrono::steady_clock::time_point deadline)
    {
        while (PQisBusy(conn_)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd ready{PQsocket(conn_), POLLIN, 0};
            const int rc = ::poll(&ready, 1, static_cast<int>(left.count()));
            if (rc < 0 && errno != EINTR)
                return true;
            if (rc > 0 && !PQconsumeInput(conn_))
                return true;
        }
        return true;
    }

    PGconn *conn_ = nullptr;
    bool silent_ = false;
    std::chrono::milliseconds silenceLimit_{kSilenceWithoutTimeout};
};

class PostgresStatement final : public StatementBackend
{
public:
    PostgresStatement(Session &session, const std::string &name, int parameters, int &changes)
        : session_(session), name_(name), values_(static_cast<size_t>(parameters)),
          binary_(static_cast<size_t>(parameters), 0), changes_(changes)
    {}

    void bind(int index, int64_t value) override { set(index, std::to_string(value), false); }
    // Fifteen digits, as sqlite writes a number as text, so both stores answer the same digits.
    void bind(int index, double value) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", value);
        set(index, text, false);
    }
    void bind(int index, std::string_view value) override { set(index, std::string(value), false); }
    void bind(int index, const Blob &value) override
    {
        set(index, std::string(value.begin(), value.end()), true);
    }

    bool step() override
    {
        if (!result_)
            execute();
        return ++row_ < PQntuples(result_.get());
    }

    int columnCount() const override { return result_ ? PQnfields(result_.get()) : 0; }

    int64_t integer(int column) const override
    {
        const std::string_view text = textView(column);
        int64_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

    std::string_view textView(int column) const override
    {
        if (PQgetisnull(result_.get(), row_, column))
            return {};
        return {PQgetvalue(result_.get(), row_, column),
                static_cast<size_t>(PQgetlength(result_.get(), row_, column))};
    }

    Blob blob(int column) const override
    {
        size_t length = 0;
        unsigned char *bytes = PQunescapeBytea(
            reinterpret_cast<const unsigned char *>(PQgetvalue(result_.get(), row_, column)), &length);
        if (bytes == nullptr)
            throw DatabaseError("cannot read a stored picture");
        Blob blob(bytes, bytes + length);
        PQfreemem(bytes);
        return blob;
    }

private:
    void set(int index, std::string value, bool binary)
    {
        if (index < 1 || index > static_cast<int>(values_.size()))
            throw DatabaseError("bind: no parameter " + std::to_string(index));
        values_[static_cast<size_t>(index - 1)] = std::move(value);
        binary_[static_cast<size_t>(index - 1)] = binary ? 1 : 0;
    }

    void execute()
    {
        std::vector<const char *> values;
        std::vector<int> lengths;
        for (const auto &value : values_) {
            values.push_back(value ? value->data() : nullptr);
            lengths.push_back(value ? static_cast<int>(value->size()) : 0);
        }
        result_ = session_.answer(PQsendQueryPrepared(session_.get(), name_.c_str(),
                                                      static_cast<int>(values.size()), values.data(),
                                                      lengths.data(), binary_.data(), 0),
                                  "execute");
        const char *changed = PQcmdTuples(result_.get());
        changes_ = *changed ? std::atoi(changed) : 0;
    }

    Session &session_;
    const std::string &name_;
    std::vector<std::optional<std::string>> values_;
    std::vector<int> binary_;
    int &changes_;
    Result result_;
    int row_ = -1;
};

class PostgresConnection final : public Connection
{
public:
    explicit PostgresConnection(const std::string &address) : session_(address) {}

    Dialect dialect() const override { return Dialect::postgres; }

    void exec(std::string_view sql) override
    {
        session_.answer(PQsendQuery(session_.get(), std::string(sql).c_str()), "exec");
    }

    Statement prepare(std::string_view sql) override
    {
        auto [entry, added] = prepared_.try_emplace(std::string(sql));
        if (added) {
            auto [text, parameters] = numberedParameters(sql);
            const std::string name = "s" + std::to_string(prepared_.size());
            try {
                session_.answer(PQsendPrepare(session_.get(), name.c_str(), text.c_str(), 0, nullptr),
                                "prepare " + std::string(sql));
            } catch (...) {
                prepared_.erase(entry);
                throw;
            }
            entry->second = {name, parameters};
        }
        return Statement(std::make_unique<PostgresStatement>(session_, entry->second.name,
                                                             entry->second.parameters, changes_));
    }

    int64_t lastInsertId() override { return scalar("SELECT lastval()").value_or(0); }
    int changes() const override { return changes_; }
    void beginWrite() override { exec(kBeginWrite); }
    bool broken() const override { return session_.broken(); }

private:
    struct Prepared
    {
        std::string name;
        int parameters = 0;
    };

    Session session_;
    std::unordered_map<std::string, Prepared> prepared_;
    int changes_ = 0;
};

} // namespace

std::unique_ptr<Connection> openPostgres(const std::string &address)
{
    return std::make_unique<PostgresConnection>(address);
}
