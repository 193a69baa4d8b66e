// Worker processes: see workers.h.
//
// Each worker reads task indexes from its own pipe and answers each with one
// record on its result pipe: index, status, standard-error text, standard-
// output text. The parent hands the next index to whichever worker answered
// and keeps answers that arrive early until their turn.
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
#include <map>
#include <vector>

namespace prax::cli {

namespace {

bool send_text(int fd, const std::string &text)
{
    const std::uint64_t size = text.size();
    return write_all(fd, &size, sizeof size) && write_all(fd, text.data(), text.size());
}

bool receive_text(int fd, std::string &text)
{
    std::uint64_t size = 0;
    if (!read_all(fd, &size, sizeof size))
        return false;
    text.resize(size);
    return read_all(fd, text.data(), size);
}

bool send_outcome(int fd, int index, Outcome &outcome)
{
    if (outcome.out_file) {
        std::string text;
        read_whole(outcome.out_file->fd(), text);
        outcome.out += text;
        outcome.out_file.reset();
    }
    const std::int32_t head[2] = {index, outcome.status};
    return write_all(fd, head, sizeof head) && send_text(fd, outcome.err) && send_text(fd, outcome.out);
}

bool receive_outcome(int fd, int &index, Outcome &outcome)
{
    std::int32_t head[2];
    if (!read_all(fd, head, sizeof head))
        return false;
    index = head[0];
    outcome.status = head[1];
    return receive_text(fd, outcome.err) && receive_text(fd, outcome.out);
}

struct Worker {
    pid_t pid = -1;
    int tasks = -1;   // parent writes indexes here
    int results = -1; // parent reads outcomes here
    int busy_with = -1;
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
        pool.push_back(Worker{pid, down[1], up[0], -1});
    }

    std::map<int, Outcome> waiting; // finished, not yet emitted
    int next_task = 0, next_emit = 0;
    auto hand_out = [&](Worker &w) {
        if (next_task < count) {
            const std::int32_t index = next_task;
            if (::send(w.tasks, &index, sizeof index, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof index)) {
                w.busy_with = next_task++;
                return;
            }
        }
        ::close(w.tasks); // no more work: the worker ends when it reads the end
        w.tasks = -1;
    };
    for (Worker &w : pool)
        hand_out(w);

    // Work the pool could not take (no worker started, or every one died) is done here.
    while (next_emit < count) {
        std::vector<pollfd> fds;
        std::vector<Worker *> owners;
        for (Worker &w : pool) {
            if (w.busy_with >= 0) {
                fds.push_back({w.results, POLLIN, 0});
                owners.push_back(&w);
            }
        }
        if (fds.empty()) {
            // No worker left with work: finish in this process.
            while (next_task < count) {
                waiting.emplace(next_task, task(next_task));
                ++next_task;
            }
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
            if (receive_outcome(w.results, index, outcome) && index == w.busy_with) {
                waiting.emplace(index, std::move(outcome));
                w.busy_with = -1;
                hand_out(w);
            } else {
                // The worker died (a crash, a kill): its input failed; the
                // other workers go on with the rest.
                Outcome lost;
                lost.status = kExitUsage;
                lost.err = std::string(kProgram) + ": " + names[static_cast<std::size_t>(w.busy_with)] +
                           ": the worker process formatting it ended unexpectedly\n";
                waiting.emplace(w.busy_with, std::move(lost));
                w.busy_with = -1;
                ::close(w.results);
                w.results = -1;
                if (w.tasks >= 0)
                    ::close(w.tasks), w.tasks = -1;
            }
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
