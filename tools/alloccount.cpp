// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "alloccount.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};

// The standard's loop: ask the new-handler for memory until it gives up.
template <class Allocate>
void* allocateCounted(Allocate allocate)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    for (;;) {
        if (void* memory = allocate())
            return memory;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

void* allocate(std::size_t size)
{
    return allocateCounted([size] { return std::malloc(size == 0 ? 1 : size); });
}

// aligned_alloc wants a size that is a multiple of the alignment.
void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    // A size that cannot be rounded up without wrapping gets no memory.
    if (size > std::numeric_limits<std::size_t>::max() - align)
        return allocateCounted([] { return static_cast<void*>(nullptr); });
    const std::size_t rounded = (std::max<std::size_t>(size, 1) + align - 1) / align * align;
    return allocateCounted([align, rounded] { return std::aligned_alloc(align, rounded); });
}

template <class Allocate>
void* withoutThrowing(Allocate allocate) noexcept
{
    try {
        return allocate();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

std::uint64_t allocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return withoutThrowing([size] { return allocate(size); });
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return withoutThrowing([size] { return allocate(size); });
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return withoutThrowing([size, alignment] { return allocateAligned(size, alignment); });
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return withoutThrowing([size, alignment] { return allocateAligned(size, alignment); });
}

// Everything above comes from malloc or aligned_alloc, which free takes back.
void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
