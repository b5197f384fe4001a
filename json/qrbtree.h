// An intrusive red-black tree: the caller embeds TQRBNode in its own records
// and the tree only links them, so inserting and removing never allocate.
// Equal keys are allowed; a new node goes after the nodes equal to it, so an
// in-order walk keeps insertion order among equals.
#pragma once

#include <cstddef>
#include <functional>

struct TQRBNode {
    TQRBNode* Parent = nullptr;
    TQRBNode* Left = nullptr;
    TQRBNode* Right = nullptr;
    bool Red = false;

    // In-order neighbours, nil at the ends.
    TQRBNode* Next() const;
    TQRBNode* Prev() const;
};

class TQRBTree {
public:
    // <0, 0, >0 as the first node sorts before, with or after the second.
    using TQRBCompare = std::function<int(const TQRBNode*, const TQRBNode*)>;
    using TQRBNodeEvent = std::function<void(TQRBNode*)>;

    explicit TQRBTree(TQRBCompare AOnCompare);
    // Unlinks every node (see Clear).
    ~TQRBTree();
    TQRBTree(const TQRBTree&) = delete;
    TQRBTree& operator=(const TQRBTree&) = delete;

    void Insert(TQRBNode* ANode);
    // Inserts only when no equal node is present; returns the node now in the
    // tree for that key (the existing one, or ANode).
    TQRBNode* InsertUnique(TQRBNode* ANode);
    // Unlinks the node; it must belong to this tree.
    void Erase(TQRBNode* ANode);
    // The first node equal to the key, nil when none. The key is any node the
    // compare function understands; it need not be in the tree.
    TQRBNode* Find(const TQRBNode* AKey) const;
    // The first node not sorting before the key, nil when none.
    TQRBNode* LowerBound(const TQRBNode* AKey) const;
    TQRBNode* First() const;
    TQRBNode* Last() const;
    std::size_t Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    // Unlinks all nodes, handing each to OnDelete when it is set (children
    // before their parent, so OnDelete may free the node).
    void Clear();
    // True when the colours and order hold (for tests and debugging).
    bool IsValid() const;

    TQRBNodeEvent OnDelete;

private:
    void RotateLeft(TQRBNode* x);
    void RotateRight(TQRBNode* x);
    void FixInsert(TQRBNode* z);
    void FixErase(TQRBNode* x, TQRBNode* xParent);
    void Transplant(TQRBNode* u, TQRBNode* v);
    void Link(TQRBNode* ANode, TQRBNode* AParent, bool ALeft);

    TQRBCompare FOnCompare;
    TQRBNode* FRoot = nullptr;
    std::size_t FCount = 0;
};
