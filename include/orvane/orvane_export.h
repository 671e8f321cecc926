/* Marks a function as part of the public interface of libOrvane_2.so.
 * Everything else in the library is hidden. */
#ifndef ORVANE_EXPORT_H
#define ORVANE_EXPORT_H

#define ORVANE_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
#define ORVANE_BEGIN_DECLS extern "C" {
#define ORVANE_END_DECLS }
#else
#define ORVANE_BEGIN_DECLS
#define ORVANE_END_DECLS
#endif

#endif
