#include "qrbtree.h"

#include <utility>

namespace {

TQRBNode* Leftmost(TQRBNode* n) {
    while (n && n->Left)
        n = n->Left;
    return n;
}

TQRBNode* Rightmost(TQRBNode* n) {
    while (n && n->Right)
        n = n->Right;
    return n;
}

bool IsRed(const TQRBNode* n) {
    return n && n->Red;
}

} // namespace

TQRBNode* TQRBNode::Next() const {
    if (Right) return Leftmost(Right);
    const TQRBNode* n = this;
    TQRBNode* p = Parent;
    while (p && n == p->Right) {
        n = p;
        p = p->Parent;
    }
    return p;
}

TQRBNode* TQRBNode::Prev() const {
    if (Left) return Rightmost(Left);
    const TQRBNode* n = this;
    TQRBNode* p = Parent;
    while (p && n == p->Left) {
        n = p;
        p = p->Parent;
    }
    return p;
}

TQRBTree::TQRBTree(TQRBCompare AOnCompare) : FOnCompare(std::move(AOnCompare)) {}

TQRBTree::~TQRBTree() {
    Clear();
}

TQRBNode* TQRBTree::First() const {
    return Leftmost(FRoot);
}

TQRBNode* TQRBTree::Last() const {
    return Rightmost(FRoot);
}

void TQRBTree::RotateLeft(TQRBNode* x) {
    TQRBNode* y = x->Right;
    x->Right = y->Left;
    if (y->Left) y->Left->Parent = x;
    Transplant(x, y);
    y->Left = x;
    x->Parent = y;
}

void TQRBTree::RotateRight(TQRBNode* x) {
    TQRBNode* y = x->Left;
    x->Left = y->Right;
    if (y->Right) y->Right->Parent = x;
    Transplant(x, y);
    y->Right = x;
    x->Parent = y;
}

// Puts v where u hangs (v may be nil); u's own links are left alone.
void TQRBTree::Transplant(TQRBNode* u, TQRBNode* v) {
    if (!u->Parent)
        FRoot = v;
    else if (u == u->Parent->Left)
        u->Parent->Left = v;
    else
        u->Parent->Right = v;
    if (v) v->Parent = u->Parent;
}

void TQRBTree::Link(TQRBNode* ANode, TQRBNode* AParent, bool ALeft) {
    ANode->Parent = AParent;
    ANode->Left = ANode->Right = nullptr;
    ANode->Red = true;
    if (!AParent)
        FRoot = ANode;
    else if (ALeft)
        AParent->Left = ANode;
    else
        AParent->Right = ANode;
    ++FCount;
    FixInsert(ANode);
}

void TQRBTree::Insert(TQRBNode* ANode) {
    TQRBNode* parent = nullptr;
    bool left = false;
    for (TQRBNode* n = FRoot; n;) {
        parent = n;
        left = FOnCompare(ANode, n) < 0;
        n = left ? n->Left : n->Right;
    }
    Link(ANode, parent, left);
}

TQRBNode* TQRBTree::InsertUnique(TQRBNode* ANode) {
    TQRBNode* parent = nullptr;
    bool left = false;
    for (TQRBNode* n = FRoot; n;) {
        const int c = FOnCompare(ANode, n);
        if (c == 0) return n;
        parent = n;
        left = c < 0;
        n = left ? n->Left : n->Right;
    }
    Link(ANode, parent, left);
    return ANode;
}

void TQRBTree::FixInsert(TQRBNode* z) {
    while (IsRed(z->Parent)) {
        TQRBNode* p = z->Parent;
        TQRBNode* g = p->Parent;
        const bool parentIsLeft = p == g->Left;
        TQRBNode* uncle = parentIsLeft ? g->Right : g->Left;
        if (IsRed(uncle)) {
            p->Red = uncle->Red = false;
            g->Red = true;
            z = g;
            continue;
        }
        if (parentIsLeft) {
            if (z == p->Right) {
                RotateLeft(p);
                std::swap(z, p);
            }
            RotateRight(g);
        } else {
            if (z == p->Left) {
                RotateRight(p);
                std::swap(z, p);
            }
            RotateLeft(g);
        }
        p->Red = false;
        g->Red = true;
    }
    FRoot->Red = false;
}

void TQRBTree::Erase(TQRBNode* z) {
    TQRBNode* x;
    TQRBNode* xParent;
    bool removedRed = z->Red;
    if (!z->Left) {
        x = z->Right;
        xParent = z->Parent;
        Transplant(z, z->Right);
    } else if (!z->Right) {
        x = z->Left;
        xParent = z->Parent;
        Transplant(z, z->Left);
    } else {
        // Replace z by its successor y, which has no left child.
        TQRBNode* y = Leftmost(z->Right);
        removedRed = y->Red;
        x = y->Right;
        if (y->Parent == z) {
            xParent = y;
        } else {
            xParent = y->Parent;
            Transplant(y, y->Right);
            y->Right = z->Right;
            y->Right->Parent = y;
        }
        Transplant(z, y);
        y->Left = z->Left;
        y->Left->Parent = y;
        y->Red = z->Red;
    }
    z->Parent = z->Left = z->Right = nullptr;
    --FCount;
    if (!removedRed) FixErase(x, xParent);
}

void TQRBTree::FixErase(TQRBNode* x, TQRBNode* xParent) {
    while (x != FRoot && !IsRed(x)) {
        if (x == xParent->Left) {
            TQRBNode* w = xParent->Right;
            if (IsRed(w)) {
                w->Red = false;
                xParent->Red = true;
                RotateLeft(xParent);
                w = xParent->Right;
            }
            if (!IsRed(w->Left) && !IsRed(w->Right)) {
                w->Red = true;
                x = xParent;
                xParent = x->Parent;
            } else {
                if (!IsRed(w->Right)) {
                    w->Left->Red = false;
                    w->Red = true;
                    RotateRight(w);
                    w = xParent->Right;
                }
                w->Red = xParent->Red;
                xParent->Red = false;
                w->Right->Red = false;
                RotateLeft(xParent);
                x = FRoot;
            }
        } else {
            TQRBNode* w = xParent->Left;
            if (IsRed(w)) {
                w->Red = false;
                xParent->Red = true;
                RotateRight(xParent);
                w = xParent->Left;
            }
            if (!IsRed(w->Left) && !IsRed(w->Right)) {
                w->Red = true;
                x = xParent;
                xParent = x->Parent;
            } else {
                if (!IsRed(w->Left)) {
                    w->Right->Red = false;
                    w->Red = true;
                    RotateLeft(w);
                    w = xParent->Left;
                }
                w->Red = xParent->Red;
                xParent->Red = false;
                w->Left->Red = false;
                RotateRight(xParent);
                x = FRoot;
            }
        }
    }
    if (x) x->Red = false;
}

TQRBNode* TQRBTree::LowerBound(const TQRBNode* AKey) const {
    TQRBNode* result = nullptr;
    for (TQRBNode* n = FRoot; n;) {
        if (FOnCompare(n, AKey) < 0) {
            n = n->Right;
        } else {
            result = n;
            n = n->Left;
        }
    }
    return result;
}

TQRBNode* TQRBTree::Find(const TQRBNode* AKey) const {
    TQRBNode* n = LowerBound(AKey);
    return n && FOnCompare(n, AKey) == 0 ? n : nullptr;
}

void TQRBTree::Clear() {
    // Post-order walk without recursion: descend, then unlink leaves upward.
    TQRBNode* n = FRoot;
    FRoot = nullptr;
    FCount = 0;
    while (n) {
        if (n->Left) {
            n = n->Left;
        } else if (n->Right) {
            n = n->Right;
        } else {
            TQRBNode* parent = n->Parent;
            if (parent) (parent->Left == n ? parent->Left : parent->Right) = nullptr;
            n->Parent = nullptr;
            if (OnDelete) OnDelete(n);
            n = parent;
        }
    }
}

bool TQRBTree::IsValid() const {
    if (IsRed(FRoot)) return false;
    // Black height of every path, red children of red nodes, parent links and
    // order, checked iteratively over an explicit stack.
    struct Frame {
        const TQRBNode* node;
        int blacks;
    };
    int expected = -1;
    std::size_t seen = 0;
    Frame stack[128];
    int top = 0;
    if (FRoot) stack[top++] = {FRoot, 1};
    while (top) {
        const Frame f = stack[--top];
        ++seen;
        for (const TQRBNode* child : {f.node->Left, f.node->Right}) {
            if (!child) {
                if (expected < 0) expected = f.blacks;
                if (expected != f.blacks) return false;
                continue;
            }
            if (child->Parent != f.node) return false;
            if (f.node->Red && child->Red) return false;
            if (top == 128) return false;
            stack[top++] = {child, f.blacks + (child->Red ? 0 : 1)};
        }
    }
    if (seen != FCount) return false;
    for (const TQRBNode* n = First(); n; n = n->Next()) {
        const TQRBNode* next = n->Next();
        if (next && FOnCompare(n, next) > 0) return false;
    }
    return true;
}
