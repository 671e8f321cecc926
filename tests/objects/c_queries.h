/* Entry points of the C caller of the object queries. */
#ifndef ORVANE_TESTS_C_QUERIES_H
#define ORVANE_TESTS_C_QUERIES_H

#ifdef __cplusplus
extern "C" {
#endif

/* The number of records of a record list. */
int c_listLength(void** list);
/* Frees every record of the list and the list; the first failing code of
 * falFreeObject, else 0. */
int c_freeList(void** list);
/* The object type of a record. */
int c_recordType(const void* record);
/* Entries of an identifier list of a fabric record: 0 switches, 1
 * platforms, 2 proxies, 3 links. */
int c_fabricListLength(const void* fabric, int which);
/* Asks GetObjects for two identifiers; the list's code. */
int c_getTwo(const char* first, const char* second, void*** records);

#ifdef __cplusplus
}
#endif

#endif
