#include "nvmctrl.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "../src/board.h"
#include "../src/flash_persistence.h"

namespace vboard {

namespace {

constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint32_t kMaxStoreWidth = 4;
constexpr std::uint32_t kMinStoreWidth = 2;  // 8-bit stores into flash are bus errors

// Keys of this model's findings beyond its registers, one per kind of misuse.
constexpr std::uint32_t kKeyWrongFinding = 0x100, kWhileBusyFinding = 0x101,
                        kCommandFindings = 0x200;

std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", v);
    return text;
}

const char* command_name(std::uint32_t cmd) {
    switch (cmd) {
        case Nvmctrl::kCmdER:
            return "ER";
        case Nvmctrl::kCmdWP:
            return "WP";
        default:
            return "?";
    }
}

}  // namespace

Nvmctrl::Nvmctrl(Board& board)
    : RegisterPeripheral(
          board, "NVMCTRL", kBase, 0x24,
          {
              // CMDEX is a key, not stored: CTRLA reads back CMD only (unconfirmed).
              {"CTRLA", kCTRLA, 2, 0, Access::ReadWrite, kCtrlaCmdMask | kCtrlaCmdexMask},
              // Wait states are stored; their cost is not timed.
              {"CTRLB", kCTRLB, 4, kCtrlbReset, Access::ReadWrite, kCtrlbRwsMask | kCtrlbManw},
              {"PARAM", kPARAM, 4, kParamValue, Access::ReadOnly, 0xFFFFFFFF},
              // The NVMCTRL interrupt is not modelled.
              {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
              {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
              // READY reads 1 while the controller is idle (unconfirmed reset value).
              {"INTFLAG", kINTFLAG, 1, kIntflagReady, Access::ReadWrite,
               kIntflagReady | kIntflagError},
              // Error bits are cleared by writing 1 (unconfirmed); LOAD only by PBC and WP.
              {"STATUS", kSTATUS, 2, 0, Access::ReadWrite, kStatusErrors},
              {"ADDR", kADDR, 4, 0, Access::ReadWrite, kAddrMask},
              {"LOCK", kLOCK, 2, kLockAllUnlocked, Access::ReadOnly, 0xFFFF},
          }) {
    page_buffer_.fill(kErased);
    board.set_flash_store_sink([this](std::uint32_t address, unsigned width, std::uint32_t data) {
        return store_to_page_buffer(address, width, data);
    });
}

void Nvmctrl::reset() {
    // A reset during ER or WP stops it where it is, as a power loss does.
    power_off(now());
    RegisterPeripheral::reset();
    clear_page_buffer();
}

// ---------------------------------------------------------------- registers

std::uint32_t Nvmctrl::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    if (reg.offset == kINTFLAG) return busy() ? stored & ~kIntflagReady : stored | kIntflagReady;
    return stored;
}

void Nvmctrl::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    switch (reg.offset) {
        case kCTRLA: {
            set_value(kCTRLA, written & kCtrlaCmdMask);
            if (((written & kCtrlaCmdexMask) >> kCtrlaCmdexShift) != kCmdexKey)
                return command_error(
                    kKeyWrongFinding,
                    "NVMCTRL CTRLA: command without the key 0xA5 in CMDEX, ignored");
            if (busy())
                return command_error(kWhileBusyFinding,
                                     "NVMCTRL CTRLA: command while another runs, ignored");
            return execute(written & kCtrlaCmdMask);
        }
        case kINTFLAG:  // READY follows the controller; ERROR is cleared by writing 1
            return set_value(kINTFLAG, old_value & ~(written & kIntflagError));
        case kSTATUS:
            return set_value(kSTATUS, old_value & ~(written & kStatusErrors));
        default:
            return RegisterPeripheral::on_write(reg, old_value, written);
    }
}

void Nvmctrl::command_error(std::uint32_t finding, const std::string& why) {
    set_value(kSTATUS, value(kSTATUS) | kStatusProge);
    set_value(kINTFLAG, value(kINTFLAG) | kIntflagError);
    board().diagnostics().note(Finding::Unsupported, kBase + finding, board().pc(), why);
}

// ---------------------------------------------------------------- commands

void Nvmctrl::execute(std::uint32_t cmd) {
    const std::uint32_t address = addressed_byte();
    switch (cmd) {
        case kCmdPBC:
            log_.push_back({cmd, address, now(), 0, false, 0, true, board().instructions(),
                            board().instructions()});
            return clear_page_buffer();
        case kCmdINVALL:  // this board's flash has no cache
            log_.push_back({cmd, address, now(), 0, false, 0, true, board().instructions(),
                            board().instructions()});
            return;
        case kCmdER:
        case kCmdWP:
            if (address >= kMainArraySize) {
                note(Finding::Unsupported, kADDR,
                     std::string("NVMCTRL ") + command_name(cmd) + " at " + hex(address) +
                         ": outside the main array, not modelled");
                return;
            }
            return cmd == kCmdER ? start(cmd, address & ~(kRowSize - 1), kRowEraseTime, false)
                                 : start(cmd, address & ~(kPageSize - 1), kPageWriteTime, false);
        default: {
            char text[96];
            std::snprintf(text, sizeof text, "NVMCTRL command 0x%02x is not modelled, ignored",
                          cmd);
            // One finding per command value.
            board().diagnostics().note(Finding::Unsupported, kBase + kCommandFindings + cmd,
                                       board().pc(), text);
            return;
        }
    }
}

void Nvmctrl::clear_page_buffer() {
    page_buffer_.fill(kErased);
    buffer_bytes_ = 0;
    set_value(kSTATUS, value(kSTATUS) & ~kStatusLoad);
}

void Nvmctrl::start(std::uint32_t cmd, std::uint32_t address, SimTime duration, bool automatic) {
    const std::uint32_t row = address & ~(kRowSize - 1);
    RowWear& row_wear = wear_[row];
    if (cmd == kCmdER) {
        ++row_wear.row_erases;
        ++total_.row_erases;
    } else {
        ++row_wear.page_writes;
        ++total_.page_writes;
    }
    log_.push_back({cmd, address, now(), cmd == kCmdWP ? buffer_bytes_ : 0, automatic, 0, false,
                    board().instructions(), 0});
    running_ = Running{log_.size() - 1, now() + duration, duration};
    reschedule();
}

SimTime Nvmctrl::next_event() const {
    return running_ ? running_->end : kNever;
}

void Nvmctrl::advance(SimTime now) {
    if (!running_ || now < running_->end) return;
    const CommandRecord& r = log_[running_->record];
    finish(r.cmd == kCmdER ? kRowSize : kPageSize);
}

void Nvmctrl::power_off(SimTime now) {
    if (!running_) return;
    const CommandRecord& r = log_[running_->record];
    const std::uint64_t size = r.cmd == kCmdER ? kRowSize : kPageSize;
    const SimTime elapsed = std::min(now - std::min(now, r.start), running_->duration);
    finish(static_cast<unsigned>(size * elapsed / running_->duration));
}

void Nvmctrl::finish(unsigned bytes) {
    CommandRecord& r = log_[running_->record];
    const unsigned size = r.cmd == kCmdER ? kRowSize : kPageSize;
    std::vector<std::uint8_t> flash(bytes);
    Cpu& cpu = board().cpu();
    if (bytes > 0) {
        cpu.read_memory(r.address, flash.data(), bytes);
        for (unsigned i = 0; i < bytes; ++i)
            flash[i] =
                r.cmd == kCmdER ? kErased : static_cast<std::uint8_t>(flash[i] & page_buffer_[i]);
        cpu.write_memory(r.address, flash.data(), bytes);
        cpu.invalidate_code(r.address, bytes);
    }
    // The buffer is cleared when a write page ends (unconfirmed for this part).
    if (r.cmd == kCmdWP) clear_page_buffer();
    r.bytes_done = bytes;
    r.end_instructions = board().instructions();
    r.completed = bytes == size;
    running_.reset();
    reschedule();
}

// ---------------------------------------------------------------- page buffer

bool Nvmctrl::store_to_page_buffer(std::uint32_t address, unsigned width, std::uint32_t data) {
    Diagnostics& diagnostics = board().diagnostics();
    const bool main_array = address < kMainArraySize;
    const bool user_row = address >= kUserRowBase && address < kUserRowBase + kRowSize;
    if (!main_array && !user_row) return false;
    if (width < kMinStoreWidth || width > kMaxStoreWidth) return false;  // bus error
    if (user_row)
        diagnostics.note(
            Finding::Unsupported, kUserRowBase, board().pc(),
            "NVMCTRL: page-buffer load for the user row; EAR and WAP are not modelled");
    if (busy())
        diagnostics.note(Finding::Unsupported, kBase + kSTATUS, board().pc(),
                         "NVMCTRL: page-buffer store while a command runs (the chip stalls it)");
    const std::uint32_t offset = address % kPageSize;
    for (unsigned i = 0; i < width; ++i)
        page_buffer_[offset + i] = static_cast<std::uint8_t>(data >> (8 * i));
    buffer_bytes_ += width;
    set_value(kADDR, (address >> 1) & kAddrMask);
    set_value(kSTATUS, value(kSTATUS) | kStatusLoad);
    if (!manual_write() && main_array && offset + width == kPageSize && !busy())
        start(kCmdWP, address & ~(kPageSize - 1), kPageWriteTime, true);
    return true;
}

// ---------------------------------------------------------------- wear

Nvmctrl::RowWear Nvmctrl::wear(std::uint32_t row_address) const {
    const auto it = wear_.find(row_address & ~(kRowSize - 1));
    return it == wear_.end() ? RowWear{} : it->second;
}

void Nvmctrl::add_to_report(nlohmann::json& report) const {
    nlohmann::json section;
    section["row_erases"] = total_.row_erases;
    section["page_writes"] = total_.page_writes;
    section["row_erase_time_s"] = to_seconds(kRowEraseTime);
    section["page_write_time_s"] = to_seconds(kPageWriteTime);
    section["interrupted_commands"] =
        std::count_if(log_.begin(), log_.end(), [this](const CommandRecord& r) {
            return !r.completed && !(running_ && &r == &log_[running_->record]);
        });
    RowWear in_area;
    if (const auto area = find_storage_area(board().image())) {
        nlohmann::json rows = nlohmann::json::array();
        for (std::uint32_t row = area->address; row < area->address + area->size; row += kRowSize) {
            const RowWear w = wear(row);
            in_area.row_erases += w.row_erases;
            in_area.page_writes += w.page_writes;
            rows.push_back({{"address", hex(row)},
                            {"row_erases", w.row_erases},
                            {"page_writes", w.page_writes}});
        }
        section["storage_area"] = {
            {"address", hex(area->address)}, {"size", area->size}, {"rows", rows}};
    }
    section["outside_storage_area"] = {{"row_erases", total_.row_erases - in_area.row_erases},
                                       {"page_writes", total_.page_writes - in_area.page_writes}};
    report["nvmctrl"] = section;
}

}  // namespace vboard
