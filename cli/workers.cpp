// Worker processes: see workers.h.
//
// Each worker reads task indexes from its own socket and answers each with one
// record on its result pipe: index, status, standard-error text, standard-
// output text. The parent keeps a few indexes queued at every worker, hands
// the next one to whichever worker answered, and keeps answers that arrive
// early until their turn.
#include "cli/workers.h"

#include "cli/fd_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace prax::cli {

namespace {

// Tasks sent to a worker ahead of its answers: a worker that finishes a file
// goes straight on to the next instead of waiting until the parent, which
// shares the processors with it, has been scheduled to read its answer.
constexpr std::size_t kTasksAhead = 4;

// A record is its head (index, status, the two texts' sizes) and the texts,
// sent in one write and read in two.
struct RecordHead {
    std::int32_t index;
    std::int32_t status;
    std::uint64_t err_size;
    std::uint64_t out_size;
};

bool send_outcome(int fd, int index, Outcome &outcome)
{
    if (outcome.out_file) {
        std::string text;
        read_whole(outcome.out_file->fd(), text);
        outcome.out += text;
        outcome.out_file.reset();
    }
    const RecordHead head{index, outcome.status, outcome.err.size(), outcome.out.size()};
    std::string record(reinterpret_cast<const char *>(&head), sizeof head);
    record += outcome.err;
    record += outcome.out;
    return write_all(fd, record.data(), record.size());
}

bool receive_outcome(int fd, int &index, Outcome &outcome)
{
    RecordHead head;
    if (!read_all(fd, &head, sizeof head))
        return false;
    index = head.index;
    outcome.status = head.status;
    std::string texts(head.err_size + head.out_size, '\0');
    if (!read_all(fd, texts.data(), texts.size()))
        return false;
    outcome.err.assign(texts, 0, head.err_size);
    outcome.out.assign(texts, head.err_size);
    return true;
}

struct Worker {
    pid_t pid = -1;
    int tasks = -1;           // parent writes indexes here
    int results = -1;         // parent reads outcomes here
    std::deque<int> in_flight; // sent, not yet answered, in the order sent
};

[[noreturn]] void worker_main(int tasks, int results, const std::function<Outcome(int)> &task)
{
    std::int32_t index;
    while (read_all(tasks, &index, sizeof index)) {
        Outcome outcome = task(index);
        if (!send_outcome(results, index, outcome))
            break;
    }
    ::_exit(0);
}

} // namespace

int run_all(const std::vector<std::string> &names, int workers, const std::function<Outcome(int)> &task,
            const std::function<int(Outcome &)> &emit_one)
{
    const int count = static_cast<int>(names.size());
    int worst = 0;
    workers = std::min(workers, count);
    if (workers <= 1) {
        for (int i = 0; i < count; ++i) {
            Outcome outcome = task(i);
            worst = std::max(worst, emit_one(outcome));
        }
        return worst;
    }

    std::vector<Worker> pool;
    pool.reserve(static_cast<std::size_t>(workers));
    for (int w = 0; w < workers; ++w) {
        // Tasks go down a socket so that a send to a worker that died fails
        // with EPIPE (MSG_NOSIGNAL) instead of killing the parent by SIGPIPE.
        int down[2], up[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, down) != 0)
            break;
        if (::pipe2(up, O_CLOEXEC) != 0) {
            ::close(down[0]), ::close(down[1]);
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Only this worker's own ends stay open: a sibling's task pipe
            // held open here would never show that sibling its end.
            for (const Worker &other : pool)
                ::close(other.tasks), ::close(other.results);
            ::close(down[1]), ::close(up[0]);
            worker_main(down[0], up[1], task);
        }
        ::close(down[0]), ::close(up[1]);
        if (pid < 0) {
            ::close(down[1]), ::close(up[0]);
            break;
        }
        Worker worker;
        worker.pid = pid;
        worker.tasks = down[1];
        worker.results = up[0];
        pool.push_back(std::move(worker));
    }

    std::map<int, Outcome> waiting; // finished, not yet emitted
    std::deque<int> again;          // sent to a worker that died before it began them
    int next_task = 0, next_emit = 0;
    auto take_task = [&]() {
        if (!again.empty()) {
            const int index = again.front();
            again.pop_front();
            return index;
        }
        return next_task < count ? next_task++ : -1;
    };
    auto hand_out = [&](Worker &w) {
        while (w.tasks >= 0 && w.in_flight.size() < kTasksAhead) {
            const int index = take_task();
            if (index < 0)
                break;
            const std::int32_t sent = index;
            if (::send(w.tasks, &sent, sizeof sent, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof sent)) {
                again.push_front(index);
                ::close(w.tasks);
                w.tasks = -1;
                return;
            }
            w.in_flight.push_back(index);
        }
        if (w.tasks >= 0 && again.empty() && next_task >= count) {
            ::close(w.tasks); // no more work: the worker ends when it has read what it has
            w.tasks = -1;
        }
    };
    for (Worker &w : pool)
        hand_out(w);

    // Work the pool could not take (no worker started, or every one died) is done here.
    std::vector<pollfd> fds;
    std::vector<Worker *> owners;
    while (next_emit < count) {
        fds.clear();
        owners.clear();
        for (Worker &w : pool) {
            if (!w.in_flight.empty()) {
                fds.push_back({w.results, POLLIN, 0});
                owners.push_back(&w);
            }
        }
        if (fds.empty()) {
            // No worker left with work: finish in this process.
            for (int index = take_task(); index >= 0; index = take_task())
                waiting.emplace(index, task(index));
        } else if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno != EINTR)
                break;
            continue;
        }
        for (std::size_t k = 0; k < fds.size(); ++k) {
            if (!fds[k].revents)
                continue;
            Worker &w = *owners[k];
            int index = -1;
            Outcome outcome;
            if (receive_outcome(w.results, index, outcome) && index == w.in_flight.front()) {
                waiting.emplace(index, std::move(outcome));
                w.in_flight.pop_front();
                hand_out(w);
                continue;
            }
            // The worker died (a crash, a kill) while formatting its oldest
            // task: that input failed. It never began the later ones; they
            // go to the other workers, or to this process.
            const int lost_index = w.in_flight.front();
            w.in_flight.pop_front();
            Outcome lost;
            lost.status = kExitUsage;
            lost.err = std::string(kProgram) + ": " + names[static_cast<std::size_t>(lost_index)] +
                       ": the worker process formatting it ended unexpectedly\n";
            waiting.emplace(lost_index, std::move(lost));
            again.insert(again.begin(), w.in_flight.begin(), w.in_flight.end());
            w.in_flight.clear();
            ::close(w.results);
            w.results = -1;
            if (w.tasks >= 0)
                ::close(w.tasks), w.tasks = -1;
            for (Worker &other : pool)
                hand_out(other);
        }
        for (auto it = waiting.find(next_emit); it != waiting.end(); it = waiting.find(next_emit)) {
            worst = std::max(worst, emit_one(it->second));
            waiting.erase(it);
            ++next_emit;
        }
    }
    for (Worker &w : pool) {
        if (w.tasks >= 0)
            ::close(w.tasks);
        if (w.results >= 0)
            ::close(w.results);
        ::waitpid(w.pid, nullptr, 0);
    }
    return worst;
}

} // namespace prax::cli
