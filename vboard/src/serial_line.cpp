#include "serial_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vboard {

SerialLine::SerialLine(const Ends& ends) {
    if (ends.out == "-") {
        out_ = stdout;
        out_is_stdout_ = true;
    } else if (!ends.out.empty()) {
        out_ = std::fopen(ends.out.c_str(), "wb");
        if (!out_)
            throw std::runtime_error("cannot write " + ends.out + ": " + std::strerror(errno));
    }
    if (!ends.in.empty()) {
        in_.open(ends.in, std::ios::binary);
        if (!in_) throw std::runtime_error("cannot read " + ends.in);
        in_open_ = true;
    }
    if (ends.pty) {
        pty_ = std::make_unique<PseudoTerminal>();
        std::cerr << "vboard: Serial1 is on " << pty_->path() << std::endl;
        if (ends.pty_wait) {
            std::cerr << "vboard: waiting for a program to open " << pty_->path() << std::endl;
            pty_->wait_for_peer();
        }
    }
    if (ends.realtime) pacer_.emplace();
}

SerialLine::~SerialLine() {
    if (out_) {
        std::fflush(out_);
        if (!out_is_stdout_) std::fclose(out_);
    }
    if (pty_) flush_pty();
}

void SerialLine::deliver(std::uint8_t byte) {
    ++delivered_;
    if (out_) std::fputc(byte, out_);
    if (pty_) {
        if (pty_backlog_.size() >= kPtyBacklogLimit) {
            pty_backlog_.pop_front();
            ++pty_dropped_;
        }
        pty_backlog_.push_back(byte);
    }
}

void SerialLine::fill_from_input_file() {
    if (!in_open_ || !incoming_.empty()) return;
    const int c = in_.get();
    if (c == std::char_traits<char>::eof()) {
        in_open_ = false;
        return;
    }
    incoming_.push_back(static_cast<std::uint8_t>(c));
}

bool SerialLine::has_incoming() {
    fill_from_input_file();
    return !incoming_.empty();
}

std::uint8_t SerialLine::take_incoming() {
    fill_from_input_file();
    if (incoming_.empty()) throw std::logic_error("SerialLine: nothing incoming");
    const std::uint8_t byte = incoming_.front();
    incoming_.pop_front();
    ++received_;
    return byte;
}

void SerialLine::flush_pty() {
    std::uint8_t chunk[kPtyReadChunk];
    while (!pty_backlog_.empty()) {
        const std::size_t n = std::min(pty_backlog_.size(), sizeof chunk);
        std::copy_n(pty_backlog_.begin(), n, chunk);
        const std::size_t taken = pty_->write_some(chunk, n);
        pty_backlog_.erase(pty_backlog_.begin(),
                           pty_backlog_.begin() + static_cast<std::ptrdiff_t>(taken));
        if (taken < n) return;  // the terminal's buffer is full for now
    }
}

void SerialLine::service(SimTime now) {
    if (out_) std::fflush(out_);
    if (pty_) {
        flush_pty();
        // The file's bytes come first; the terminal's once the file is done.
        if (!in_open_ && incoming_.size() < kPtyReadChunk) {
            std::uint8_t chunk[kPtyReadChunk];
            const std::size_t n = pty_->read_some(chunk, sizeof chunk);
            incoming_.insert(incoming_.end(), chunk, chunk + n);
        }
    }
    if (pacer_) pacer_->pace(now);
}

void SerialLine::add_to_report(nlohmann::json& section) const {
    section["delivered"] = delivered_;
    section["received"] = received_;
    if (pty_) {
        section["pty"] = pty_->path();
        section["pty_dropped"] = pty_dropped_;
    }
}

}  // namespace vboard
