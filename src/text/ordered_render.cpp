#include "text/ordered_render.h"

#include <utility>

namespace toravel {

OrderedRender::OrderedRender(size_t count, unsigned threads, Render render)
    : count_(count),
      window_(threads > 0 ? static_cast<size_t>(threads) * 2 : 0),
      render_(std::move(render)),
      texts_(threads > 0 ? count : 0),
      done_(threads > 0 ? count : 0, 0) {
    const size_t workers = threads < count ? threads : count;
    for (size_t i = 0; i < workers; ++i) {
        workers_.emplace_back([this] { Work(); });
    }
}

OrderedRender::~OrderedRender() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void OrderedRender::Work() {
    for (;;) {
        size_t index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock,
                          [this] { return stop_ || next_ >= count_ || next_ < taken_ + window_; });
            if (stop_ || next_ >= count_) {
                return;
            }
            index = next_++;
        }
        StringSink sink;
        {
            TextWriter out(sink);
            render_(index, out);
            out.Finish();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            texts_[index] = std::move(sink.text);
            done_[index] = 1;
        }
        changed_.notify_all();
    }
}

void OrderedRender::Take(size_t index, TextWriter& out) {
    if (workers_.empty() || index >= count_) {
        render_(index, out);
        return;
    }
    std::string text;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (index != taken_) {
            lock.unlock();
            render_(index, out);
            return;
        }
        changed_.wait(lock, [this, index] { return done_[index] != 0; });
        text = std::move(texts_[index]);
        ++taken_;
    }
    changed_.notify_all();
    out.Text(text);
}

unsigned DefaultThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

}  // namespace toravel
