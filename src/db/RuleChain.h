#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace db {

// The rules of one event of a view, run in a fixed order: each rule is added at a stage (lower
// stages run first, rules of one stage in the order they were added) and stays until it is
// removed. Owners that keep their rules for the view's whole life install them; a window that
// adds a rule for a while holds the returned guard, which removes the rule when it goes.
//
//     view.beforePost.install(Stage::Area, "PatientsTableBeforePost", handler);
//     RuleGuard filter = view.onFilterRecord.add(Stage::Window, "chart tooth", predicate);
class RuleGuard {
public:
    RuleGuard() = default;
    RuleGuard(std::function<void()> remove)
        : m_remove(std::move(remove))
    {
    }
    RuleGuard(RuleGuard&& other) noexcept
        : m_remove(std::exchange(other.m_remove, {}))
    {
    }
    RuleGuard& operator=(RuleGuard&& other) noexcept
    {
        if (this != &other) {
            release();
            m_remove = std::exchange(other.m_remove, {});
        }
        return *this;
    }
    RuleGuard(const RuleGuard&) = delete;
    RuleGuard& operator=(const RuleGuard&) = delete;
    ~RuleGuard() { release(); }
    // Removes the rule now.
    void release()
    {
        if (auto remove = std::exchange(m_remove, {}))
            remove();
    }

private:
    std::function<void()> m_remove;
};

template<typename Result, typename... Args>
class RuleList {
public:
    using Rule = std::function<Result(Args...)>;

    // Adds a rule for the life of the view. The stage is a number or an enumerator of the
    // owner's stages; lower stages run first.
    void install(int stage, const QString& name, Rule rule) { insert(stage, name, std::move(rule)); }
    template<typename Stage>
    requires std::is_enum_v<Stage>
    void install(Stage stage, const QString& name, Rule rule)
    {
        install(static_cast<int>(stage), name, std::move(rule));
    }
    // Adds a rule until the guard goes (or the view, whichever is first).
    [[nodiscard]] RuleGuard add(int stage, const QString& name, Rule rule)
    {
        const quint64 id = insert(stage, name, std::move(rule));
        std::weak_ptr<State> state = m_state;
        return RuleGuard([state, id] {
            if (auto s = state.lock())
                s->remove(id);
        });
    }
    template<typename Stage>
    requires std::is_enum_v<Stage>
    [[nodiscard]] RuleGuard add(Stage stage, const QString& name, Rule rule)
    {
        return add(static_cast<int>(stage), name, std::move(rule));
    }
    bool isEmpty() const { return m_state->entries.empty(); }
    explicit operator bool() const { return !isEmpty(); }
    // The names in running order, for diagnostics and tests.
    QStringList names() const
    {
        QStringList out;
        for (const auto& e : m_state->entries)
            out << e->name;
        return out;
    }

protected:
    struct Entry {
        int stage;
        quint64 id;
        QString name;
        Rule rule;
    };
    struct State {
        std::vector<std::shared_ptr<const Entry>> entries;
        quint64 nextId = 1;
        void remove(quint64 id)
        {
            entries.erase(std::remove_if(entries.begin(), entries.end(), [id](const auto& e) { return e->id == id; }), entries.end());
        }
    };
    // Calls `each` on every rule in order; a rule may add or remove rules meanwhile (the one
    // running stays alive until it returns). `each` returns false to stop.
    template<typename Each>
    void forEach(Each&& each) const
    {
        const auto& entries = m_state->entries;
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::shared_ptr<const Entry> e = entries[i];
            if (!each(e->rule))
                return;
        }
    }

private:
    quint64 insert(int stage, const QString& name, Rule rule)
    {
        State& s = *m_state;
        const quint64 id = s.nextId++;
        const auto at = std::upper_bound(s.entries.begin(), s.entries.end(), stage, [](int st, const auto& e) { return st < e->stage; });
        s.entries.insert(at, std::make_shared<const Entry>(Entry{stage, id, name, std::move(rule)}));
        return id;
    }
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Rules that act on the view: run in order; the first that throws (db::Abort to refuse) stops
// the rest.
template<typename... Args>
class ActionRules : public RuleList<void, Args...> {
public:
    void operator()(Args... args) const
    {
        this->forEach([&](const auto& rule) {
            rule(args...);
            return true;
        });
    }
};

// Rules that judge a row: it is kept when every rule keeps it.
template<typename... Args>
class FilterRules : public RuleList<bool, Args...> {
public:
    bool operator()(Args... args) const
    {
        bool keep = true;
        this->forEach([&](const auto& rule) { return keep = rule(args...); });
        return keep;
    }
};

} // namespace db
