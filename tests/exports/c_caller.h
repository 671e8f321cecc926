/* Entry points of the C caller, for the test program. */
#ifndef ORVANE_TESTS_C_CALLER_H
#define ORVANE_TESTS_C_CALLER_H

#ifdef __cplusplus
extern "C" {
#endif

int c_freeObject(const void* block);
int c_identitiesRowHoldsNameThenList(void);

#ifdef __cplusplus
}
#endif

#endif
