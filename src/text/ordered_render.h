// Formats independent parts of one output on worker threads and hands their text out in
// order, so that a document written in parallel has exactly the bytes of one written on one
// thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "text/text_writer.h"

namespace toravel {

class OrderedRender {
  public:
    // Writes part `index` as it belongs in the output.
    using Render = std::function<void(size_t index, TextWriter& out)>;

    // `count` parts, formatted by `threads` workers at most `threads` * 2 parts ahead of the
    // one taken last, which bounds the memory held. With no workers each part is formatted
    // when it is taken.
    OrderedRender(size_t count, unsigned threads, Render render);
    ~OrderedRender();
    OrderedRender(const OrderedRender&) = delete;
    OrderedRender& operator=(const OrderedRender&) = delete;

    // Appends part `index` to `out`. Parts are taken in order 0, 1, 2, ...; one asked for out
    // of that order is formatted on the spot.
    void Take(size_t index, TextWriter& out);

  private:
    void Work();

    const size_t count_;
    const size_t window_;
    const Render render_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> texts_;
    std::vector<char> done_;
    size_t next_ = 0;   // the next part a worker starts
    size_t taken_ = 0;  // parts taken so far
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

// The number of threads to use by default: the machine's cores, at least 1.
unsigned DefaultThreadCount();

}  // namespace toravel
