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
#include <cstdio>
#define QORVA_BOUND(i, n)                                                                       \
  do {                                                                                          \
    if (static_cast<std::size_t>(i) >= static_cast<std::size_t>(n)) {                           \
      std::fprintf(stderr, "%s:%d: index %lld outside 0..%lld\n", __FILE__, __LINE__,           \
                   static_cast<long long>(i), static_cast<long long>(n) - 1);                   \
      std::abort();                                                                             \
    }                                                                                           \
  } while (0)
#else
#define QORVA_BOUND(i, n) ((void)0)
#endif

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
  T& operator[](long long j) const { QORVA_BOUND(j, n); return p[j]; }
};

template <typename T>
struct Row2 {
  T* p;
  std::size_t n1, n2;
  Row1<T> operator[](long long j) const { QORVA_BOUND(j, n1); return {p + j * n2, n2}; }
};

template <typename T>
struct Row3 {
  T* p;
  std::size_t n1, n2, n3;
  Row2<T> operator[](long long j) const { QORVA_BOUND(j, n1); return {p + j * n2 * n3, n2, n3}; }
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
  T& operator[](long long i) const { QORVA_BOUND(i, n0_); return b_.data()[i]; }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_; }
  std::size_t bytes() const { return n0_ * sizeof(T); }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0;
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
  Row1<T> operator[](long long i) const { QORVA_BOUND(i, n0_); return {b_.data() + i * n1_, n1_}; }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : n1_; }
  std::size_t bytes() const { return n0_ * n1_ * sizeof(T) + n0_ * kHandleBytes; }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0;
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
    QORVA_BOUND(i, n0_);
    return {b_.data() + i * n1_ * n2_, n1_, n2_};
  }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_ * n2_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : d == 1 ? n1_ : n2_; }
  std::size_t bytes() const {
    return n0_ * n1_ * n2_ * sizeof(T) + (n0_ + n0_ * n1_) * kHandleBytes;
  }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0, n2_ = 0;
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
    QORVA_BOUND(i, n0_);
    return {b_.data() + i * n1_ * n2_ * n3_, n1_, n2_, n3_};
  }
  T* data() const { return b_.data(); }
  std::size_t size() const { return n0_ * n1_ * n2_ * n3_; }
  std::size_t dim(int d) const { return d == 0 ? n0_ : d == 1 ? n1_ : d == 2 ? n2_ : n3_; }
  std::size_t bytes() const {
    return n0_ * n1_ * n2_ * n3_ * sizeof(T) +
           (n0_ + n0_ * n1_ + n0_ * n1_ * n2_) * kHandleBytes;
  }

 private:
  detail::Block<T> b_;
  std::size_t n0_ = 0, n1_ = 0, n2_ = 0, n3_ = 0;
};

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
