#pragma once

#include <mutex>

#include "instance/Lock.h"

// A circular doubly linked ring of records with a movable head and the lock
// that guards its links, head and count. Find rotates the head onto the match,
// so that a caller holding the lock can use the head as the found entry.
template <typename T>
class CTRing {
 public:
  struct Node {
    T data;
    Node* prev;
    Node* next;
  };

  CTRing() = default;
  virtual ~CTRing() {
    while (head_) Unlink(head_);
  }
  CTRing(const CTRing&) = delete;
  CTRing& operator=(const CTRing&) = delete;

  // Links a copy of the record in just before the head and makes it the head.
  virtual void Insert(const T& record) {
    std::lock_guard guard(lock_);
    Node* node = new Node{record, nullptr, nullptr};
    if (!head_) {
      node->prev = node->next = node;
    } else {
      node->prev = head_->prev;
      node->next = head_;
      head_->prev->next = node;
      head_->prev = node;
    }
    head_ = node;
    ++count_;
  }

  // The node whose record matches `key` (now the head), or null; after a miss
  // the head rests on the last node compared.
  template <typename Key>
  Node* Find(const Key& key) {
    std::lock_guard guard(lock_);
    if (!head_) return nullptr;
    Node* const last = head_->prev;
    for (;;) {
      if (head_->data == key) return head_;
      if (head_ == last) return nullptr;
      head_ = head_->next;
    }
  }

  template <typename Key>
  int Remove(const Key& key) {
    std::lock_guard guard(lock_);
    if (!Find(key)) return 0;
    Unlink(head_);
    return 1;
  }

  int Count() {
    std::lock_guard guard(lock_);
    return count_;
  }

 protected:
  // Frees the node; its successor becomes the head.
  void Unlink(Node* node) {
    if (node->next == node) {
      head_ = nullptr;
    } else {
      node->prev->next = node->next;
      node->next->prev = node->prev;
      head_ = node->next;
    }
    --count_;
    delete node;
  }

  Node* Head() const { return head_; }
  CCriticalSection& Lock() { return lock_; }

 private:
  Node* head_ = nullptr;
  int count_ = 0;
  CCriticalSection lock_;
};
