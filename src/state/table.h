// Array types of the global state: one to four indices, last index fastest, one zero-filled
// block in memory, empty until allocated. Bounds are asserted only in the test build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <new>
#include <type_traits>

#if defined(QORVA_CHECK_BOUNDS) || defined(_GLIBCXX_ASSERTIONS)
#define QORVA_TABLE_NAMES 1
#include <cstdio>
#endif

namespace qorva::detail {

#ifdef QORVA_TABLE_NAMES
// Which table, and which of its indexes, a bound check speaks of: the allocation table names
// every global array, so a failed check says "Cconc[.][75]" instead of a line of this header.
struct Label {
  const char* name = nullptr;
  int index = 1;  // 1 for the first index, 2 for the second ...
  static Label of(const char* n) { return {n, 1}; }
  Label next() const { return {name, index + 1}; }
};

[[noreturn]] inline void outOfBounds(const Label& l, long long i, long long n) {
  std::fprintf(stderr, "index check: %s", l.name ? l.name : "an unnamed table");
  for (int k = 1; k < l.index; ++k) std::fputs("[.]", stderr);
  std::fprintf(stderr, "[%lld] is outside 0..%lld\n", i, n - 1);
  std::abort();
}
#else
// The release build keeps no names: an empty label costs nothing in a table or a row.
struct Label {
  static Label of(const char*) { return {}; }
  Label next() const { return {}; }
};
#endif

}  // namespace qorva::detail

#ifdef QORVA_TABLE_NAMES
#define QORVA_CHECK(i, n, label)                                                               \
  do {                                                                                         \
    if (static_cast<std::size_t>(i) >= static_cast<std::size_t>(n))                            \
      ::qorva::detail::outOfBounds((label), static_cast<long long>(i),                         \
                                   static_cast<long long>(n));                                 \
  } while (0)
#else
#define QORVA_CHECK(i, n, label) ((void)0)
#endif
// An index check of an array that has no name of its own (a view into a table).
#define QORVA_BOUND(i, n) QORVA_CHECK(i, n, ::qorva::detail::Label{})

namespace qorva {

// Size of the row handles that the allocation report counts for every row of a
// multi-index table, as a table of row pointers would take.
inline constexpr std::size_t kHandleBytes = sizeof(void*);

namespace detail {

// Zero-filled storage; calloc lets the system hand out untouched pages lazily, so large
// capacity tables cost nothing until the grid fills them.
template <typename T>
class Block {
  static_assert(std::is_trivially_copyable_v<T>, "tables hold plain values");

 public:
  Block() = default;
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  Block(Block&& o) noexcept : p_(o.p_), n_(o.n_) { o.p_ = nullptr; o.n_ = 0; }
  Block& operator=(Block&& o) noexcept {
    if (this != &o) { release(); p_ = o.p_; n_ = o.n_; o.p_ = nullptr; o.n_ = 0; }
    return *this;
  }
  ~Block() { release(); }

  // Returns false when the memory cannot be had; the table then stays empty.
  bool allocate(std::size_t n) {
    release();
    if (n == 0) n = 1;  // an allocated table is never a null handle
    p_ = static_cast<T*>(std::calloc(n, sizeof(T)));
    if (!p_) return false;
    n_ = n;
    return true;
  }
  void release() { std::free(p_); p_ = nullptr; n_ = 0; }
  T* data() const { return p_; }
  std::size_t size() const { return n_; }

 private:
  T* p_ = nullptr;
  std::size_t n_ = 0;
};

// Product of sizes in 64 bits; false when a size is negative or the product overflows.
inline bool product(std::initializer_list<long long> dims, std::size_t& out) {
  unsigned long long n = 1;
  for (long long d : dims) {
    if (d < 0) return false;
    if (d != 0 && n > UINT64_MAX / static_cast<unsigned long long>(d)) return false;
    n *= static_cast<unsigned long long>(d);
  }
  if (n > SIZE_MAX / 16) return false;
  out = static_cast<std::size_t>(n);
  return true;
}

}  // namespace detail

template <typename T>
struct Row1 {
  T* p;
  std::size_t n;
  [[no_unique_address]] detail::Label label{};
  T& operator[](long long j) const { QORVA_CHECK(j, n, label); return p[j]; }
};

template <typename T>
struct Row2 {
  T* p;
  std::size_t n1, n2;
  [[no_unique_address]] detail::Label label{};
  Row1<T> operator[](long long j) const {
    QORVA_CHECK(j, n1, label);
    return {p + j * n2, n2, label.next()};
  }
};

template <typename T>
struct Row3 {
  T* p;
  std::size_t n1, n2, n3;
  [[no_unique_address]] detail::Label label{};
  Row2<T> operator[](long long j) const {
    QORVA_CHECK(j, n1, label);
    return {p + j * n2 * n3, n2, n3, label.next()};
  }
};

template <typename T>
class Table1 {
 public:
  bool allocate(long long n0) {
    std::size_t n = 0;
    if (!detail::product({n0}, n)) return false;
    if (!b_.allocate(n)) return false;
    n0_ = n;
    return true;
  }
  void release() { b_.release(); n0_ = 0; }
  explicit operator bool() const { return b_.data() != nullptr; }
  T& operator[](long long i) const { QORVA_CHECK(i, n0_, label_); return b_.data()[i]; }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_; }
  std::size_t bytes() const { return n0_ * sizeof(T); }
  // The name an index check prints (test build only; a string that lives for the run).
  void setName(const char* name) { label_ = detail::Label::of(name); }
  detail::Label label() const { return label_; }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0;
  [[no_unique_address]] detail::Label label_;
};

template <typename T>
class Table2 {
 public:
  bool allocate(long long n0, long long n1) {
    std::size_t n = 0;
    if (!detail::product({n0, n1}, n)) return false;
    if (!b_.allocate(n)) return false;
    n0_ = static_cast<std::size_t>(n0); n1_ = static_cast<std::size_t>(n1);
    return true;
  }
  void release() { b_.release(); n0_ = n1_ = 0; }
  explicit operator bool() const { return b_.data() != nullptr; }
  Row1<T> operator[](long long i) const {
    QORVA_CHECK(i, n0_, label_);
    return {b_.data() + i * n1_, n1_, label_.next()};
  }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : n1_; }
  std::size_t bytes() const { return n0_ * n1_ * sizeof(T) + n0_ * kHandleBytes; }
  void setName(const char* name) { label_ = detail::Label::of(name); }
  detail::Label label() const { return label_; }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0;
  [[no_unique_address]] detail::Label label_;
};

template <typename T>
class Table3 {
 public:
  bool allocate(long long n0, long long n1, long long n2) {
    std::size_t n = 0;
    if (!detail::product({n0, n1, n2}, n)) return false;
    if (!b_.allocate(n)) return false;
    n0_ = static_cast<std::size_t>(n0); n1_ = static_cast<std::size_t>(n1);
    n2_ = static_cast<std::size_t>(n2);
    return true;
  }
  void release() { b_.release(); n0_ = n1_ = n2_ = 0; }
  explicit operator bool() const { return b_.data() != nullptr; }
  Row2<T> operator[](long long i) const {
    QORVA_CHECK(i, n0_, label_);
    return {b_.data() + i * n1_ * n2_, n1_, n2_, label_.next()};
  }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_ * n2_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : d == 1 ? n1_ : n2_; }
  std::size_t bytes() const {
    return n0_ * n1_ * n2_ * sizeof(T) + (n0_ + n0_ * n1_) * kHandleBytes;
  }
  void setName(const char* name) { label_ = detail::Label::of(name); }
  detail::Label label() const { return label_; }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0, n2_ = 0;
  [[no_unique_address]] detail::Label label_;
};

template <typename T>
class Table4 {
 public:
  bool allocate(long long n0, long long n1, long long n2, long long n3) {
    std::size_t n = 0;
    if (!detail::product({n0, n1, n2, n3}, n)) return false;
    if (!b_.allocate(n)) return false;
    n0_ = static_cast<std::size_t>(n0); n1_ = static_cast<std::size_t>(n1);
    n2_ = static_cast<std::size_t>(n2); n3_ = static_cast<std::size_t>(n3);
    return true;
  }
  void release() { b_.release(); n0_ = n1_ = n2_ = n3_ = 0; }
  explicit operator bool() const { return b_.data() != nullptr; }
  Row3<T> operator[](long long i) const {
    QORVA_CHECK(i, n0_, label_);
    return {b_.data() + i * n1_ * n2_ * n3_, n1_, n2_, n3_, label_.next()};
  }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_ * n2_ * n3_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : d == 1 ? n1_ : d == 2 ? n2_ : n3_; }
  std::size_t bytes() const {
    return n0_ * n1_ * n2_ * n3_ * sizeof(T) +
           (n0_ + n0_ * n1_ + n0_ * n1_ * n2_) * kHandleBytes;
  }
  void setName(const char* name) { label_ = detail::Label::of(name); }
  detail::Label label() const { return label_; }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0, n2_ = 0, n3_ = 0;
  [[no_unique_address]] detail::Label label_;
};

#ifndef QORVA_TABLE_NAMES
// The names of the index checks cost the release build nothing: rows and tables keep the size
// of their pointers and counts.
static_assert(sizeof(Row1<double>) == sizeof(double*) + sizeof(std::size_t));
static_assert(sizeof(Row2<double>) == sizeof(double*) + 2 * sizeof(std::size_t));
static_assert(sizeof(Table1<double>) == sizeof(detail::Block<double>) + sizeof(std::size_t));
#endif

// Fixed-size table of the static state (block records, discharge groups, small lists):
// a plain array whose index is checked in the test build.
template <typename T, std::size_t N>
struct Fixed {
  T v[N]{};
  T& operator[](long long i) { QORVA_BOUND(i, N); return v[i]; }
  const T& operator[](long long i) const { QORVA_BOUND(i, N); return v[i]; }
  static constexpr std::size_t size() { return N; }
  T* begin() { return v; }
  T* end() { return v + N; }
};

}  // namespace qorva
