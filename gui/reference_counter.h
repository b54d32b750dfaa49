// Shared ownership for bitmaps and draw contexts: whoever keeps one calls remember(), and forget()
// when done; the last forget() deletes it. A new object starts with one reference, its creator's.
#pragma once

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    void remember() { ++references; }
    void forget() {
        if (--references == 0) delete this;
    }
    int getNbReference() const { return references; }

private:
    int references = 1;
};
