// Watchers of the platform layer's file steps for the tests, each set for
// as long as it lives: one that acts once at a step (another copy starting,
// a link swapped), one that fails every step of a kind as the system would.
#pragma once

#include "SystemFiles.h"

#include <functional>
#include <utility>

// Runs `action` once, at the first step of `kind` (before it runs, or after
// it ran for a step seen only then, such as a file made by an open).
class AtStep : public kakeibo::SystemFiles::Watcher {
public:
    AtStep(kakeibo::SystemFiles::Step::Kind kind, std::function<void()> action)
        : m_kind(kind), m_action(std::move(action))
    {
        kakeibo::SystemFiles::setWatcher(this);
    }
    ~AtStep() override { kakeibo::SystemFiles::setWatcher(nullptr); }
    AtStep(const AtStep &) = delete;
    AtStep &operator=(const AtStep &) = delete;

    int before(const kakeibo::SystemFiles::Step &step) override
    {
        if (step.kind == m_kind && m_action)
            std::exchange(m_action, nullptr)();
        return 0;
    }
    void after(const kakeibo::SystemFiles::Step &step) override { before(step); }

private:
    kakeibo::SystemFiles::Step::Kind m_kind;
    std::function<void()> m_action;
};

// Fails every step of `kind` with the system's error `code`.
class FailingStep : public kakeibo::SystemFiles::Watcher {
public:
    FailingStep(kakeibo::SystemFiles::Step::Kind kind, int code) : m_kind(kind), m_code(code)
    {
        kakeibo::SystemFiles::setWatcher(this);
    }
    ~FailingStep() override { kakeibo::SystemFiles::setWatcher(nullptr); }
    FailingStep(const FailingStep &) = delete;
    FailingStep &operator=(const FailingStep &) = delete;

    int before(const kakeibo::SystemFiles::Step &step) override { return step.kind == m_kind ? m_code : 0; }

private:
    kakeibo::SystemFiles::Step::Kind m_kind;
    int m_code;
};
