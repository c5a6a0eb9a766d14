// The list every kind of game object lives in: records in creation order, walked front to back, with removal of any
// record (the current one included) allowed during a walk.
#pragma once
#include <cstddef>
#include <iterator>
#include <list>

// A removed record leaves the walk at once but stays in memory until the walk that removed it ends, so the step
// that removed it can finish with it. Removing a record that is no longer listed does nothing, and emptying the
// list during a walk ends the walk after the current record.
template <typename Record> class EntityList {
  public:
    // Appends a record with every field zero and returns it.
    Record& Add() {
        if (Spare.empty()) {
            Nodes.emplace_back();
        } else {
            // A node given up earlier is taken back rather than allocated: bullets, sparks and sections come and go
            // every few frames, and each new one would otherwise be a trip to the heap.
            Nodes.splice(Nodes.end(), Spare, Spare.begin());
            Nodes.back() = Node{};
        }
        return Nodes.back().Value;
    }

    void Remove(Record& record) {
        // The record a walk stands on is the one a step removes most often: it is unlisted without a search, and
        // the walk's end takes it off the list.
        if (Current != nullptr && &Current->Value == &record) {
            if (Current->Listed) Unlisted = true;
            Current->Listed = false;
            return;
        }
        for (auto it = Nodes.begin(); it != Nodes.end(); ++it) {
            if (&it->Value != &record) continue;
            if (!it->Listed) return;
            it->Listed = false;
            if (Walks == 0)
                Spare.splice(Spare.begin(), Nodes, it);
            else
                Unlisted = true;
            return;
        }
    }

    void Clear() {
        if (Walks == 0) {
            Spare.splice(Spare.begin(), Nodes);
            return;
        }
        for (Node& node : Nodes) node.Listed = false;
        Unlisted = true;
    }

    // Calls step(record) for every listed record, front to back; records appended during the walk are reached too.
    template <typename Step> void Walk(Step step) {
        Walks += 1;
        Node* outer = Current; // a walk inside a step of another walk of this list
        for (auto it = Nodes.begin(); it != Nodes.end(); ++it) {
            if (!it->Listed) continue;
            Current = &*it;
            step(it->Value);
        }
        Current = outer;
        Walks -= 1;
        // Most walks remove nothing: the list is only combed again for records a walk unlisted.
        if (Walks == 0 && Unlisted) {
            for (auto it = Nodes.begin(); it != Nodes.end();) {
                auto next = std::next(it);
                if (!it->Listed) Spare.splice(Spare.begin(), Nodes, it);
                it = next;
            }
            Unlisted = false;
        }
    }

    std::size_t Count() const {
        std::size_t count = 0;
        for (const Node& node : Nodes)
            if (node.Listed) count += 1;
        return count;
    }

    bool Contains(const Record& record) const {
        for (const Node& node : Nodes)
            if (node.Listed && &node.Value == &record) return true;
        return false;
    }

    // The first listed record, in list order, that passes the test; null if none does. The test only looks.
    template <typename Test> Record* Find(Test test) {
        for (Node& node : Nodes)
            if (node.Listed && test(static_cast<const Record&>(node.Value))) return &node.Value;
        return nullptr;
    }

    // Whether any listed record passes the test; the search ends at the first that does.
    template <typename Test> bool Any(Test test) const {
        for (const Node& node : Nodes)
            if (node.Listed && test(node.Value)) return true;
        return false;
    }

    // Every listed record in list order, for readers that only look.
    template <typename Look> void Each(Look look) const {
        for (const Node& node : Nodes)
            if (node.Listed) look(node.Value);
    }

  private:
    struct Node {
        Record Value{};
        bool Listed = true;
    };
    std::list<Node> Nodes;
    std::list<Node> Spare; // nodes given up, kept for the next Add (a list never holds more than it once listed)
    int Walks = 0;
    Node* Current = nullptr; // the record the innermost walk stands on, null between walks
    bool Unlisted = false;   // a record was unlisted during a walk and is still in memory
};
