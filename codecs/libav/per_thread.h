// One instance of a stand-in's state for each thread that calls it. The program calls the same library
// from its interface thread (probe), its worker thread and analysis threads at once; each of them opens
// its own decoder, so an open or close on one thread never disturbs another's.
//
// A library may name a home thread (the thread that loaded it): a thread without an instance of its own
// then uses the home thread's instance, under that instance's lock. Every call on an instance holds its
// lock, so a thread replacing its instance waits until a borrower's call has returned.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace libav {

template <class T>
class PerThread {
public:
    // Replaces the calling thread's instance by a fresh one and runs fn on it; returns fn's result.
    template <class Fn>
    auto open(Fn fn) {
        std::shared_ptr<Slot> slot = own_slot(true);
        std::lock_guard<std::mutex> hold(slot->lock);
        slot->instance.reset(new T());
        return fn(*slot->instance);
    }

    // Destroys the calling thread's instance; false when it had none.
    bool close() {
        std::shared_ptr<Slot> slot;
        {
            std::lock_guard<std::mutex> hold(map_lock_);
            auto it = slots_.find(std::this_thread::get_id());
            if (it == slots_.end()) return false;
            slot = it->second;
            slots_.erase(it);
        }
        std::lock_guard<std::mutex> hold(slot->lock);
        bool had = slot->instance != nullptr;
        slot->instance.reset();
        return had;
    }

    // Runs fn on the calling thread's instance under its lock; `otherwise` when the thread has none.
    template <class Fn, class R>
    R with(Fn fn, R otherwise) {
        return call(own_slot(false), fn, otherwise);
    }

    // As with(), but a thread without an instance of its own borrows the home thread's.
    template <class Fn, class R>
    R with_own_or_home(Fn fn, R otherwise) {
        std::shared_ptr<Slot> slot = own_slot(false);
        if (!slot || !has_instance(slot)) slot = home_slot();
        return call(slot, fn, otherwise);
    }

    // The calling thread becomes the home thread.
    void make_calling_thread_home() {
        std::lock_guard<std::mutex> hold(map_lock_);
        home_ = std::this_thread::get_id();
    }

    // True when the calling thread has an instance of its own.
    bool has_own() {
        std::shared_ptr<Slot> slot = own_slot(false);
        return slot && has_instance(slot);
    }

private:
    struct Slot {
        std::mutex lock;
        std::unique_ptr<T> instance;
    };

    std::shared_ptr<Slot> own_slot(bool create) {
        std::lock_guard<std::mutex> hold(map_lock_);
        auto id = std::this_thread::get_id();
        auto it = slots_.find(id);
        if (it != slots_.end()) return it->second;
        if (!create) return nullptr;
        auto slot = std::make_shared<Slot>();
        slots_[id] = slot;
        return slot;
    }

    std::shared_ptr<Slot> home_slot() {
        std::lock_guard<std::mutex> hold(map_lock_);
        if (home_ == std::thread::id()) return nullptr;
        auto it = slots_.find(home_);
        return it == slots_.end() ? nullptr : it->second;
    }

    static bool has_instance(const std::shared_ptr<Slot>& slot) {
        std::lock_guard<std::mutex> hold(slot->lock);
        return slot->instance != nullptr;
    }

    template <class Fn, class R>
    static R call(const std::shared_ptr<Slot>& slot, Fn& fn, R otherwise) {
        if (!slot) return otherwise;
        std::lock_guard<std::mutex> hold(slot->lock);
        if (!slot->instance) return otherwise;
        return fn(*slot->instance);
    }

    std::mutex map_lock_;
    std::map<std::thread::id, std::shared_ptr<Slot>> slots_;
    std::thread::id home_;
};

}  // namespace libav
