#pragma once
// Marks where our code hands data from one thread to another through Qt (a posted event, the
// end of a QThread). Qt as the system ships it is not built with the thread checker, so the
// checker cannot see Qt's own locks and would take every such hand-over for a race. The sending
// side calls OX_HANDOVER_RELEASE(token) after its last write of the data (the event included)
// and before it hands over; the receiving side calls OX_HANDOVER_ACQUIRE(token) before it reads
// anything of it. Queued signals and QMetaObject::invokeMethod copy their arguments inside the
// call, after any release: hand data over through a Mailbox (async/Mailbox.h) instead. Both
// are empty outside the ThreadSanitizer build.
#if defined(__SANITIZE_THREAD__)
#define OX_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define OX_TSAN 1
#endif
#endif

#ifdef OX_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define OX_HANDOVER_RELEASE(token) __tsan_release(const_cast<void*>(static_cast<const void*>(token)))
#define OX_HANDOVER_ACQUIRE(token) __tsan_acquire(const_cast<void*>(static_cast<const void*>(token)))
#else
#define OX_HANDOVER_RELEASE(token) static_cast<void>(token)
#define OX_HANDOVER_ACQUIRE(token) static_cast<void>(token)
#endif
