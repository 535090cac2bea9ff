// Gives every layer library at least one translation unit while its folders are still empty.
