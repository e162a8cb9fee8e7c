// __chkstk: a function whose frame is larger than a page calls it with the frame's size in RAX
// before moving RSP, and it touches each page below the stack pointer in order, so that the
// system's guard page grows the stack one page at a time instead of being jumped over. It keeps
// every register; the caller then subtracts RAX from RSP itself. (clang-cl reads assembly in
// Intel syntax.)
__asm__(
    ".text\n"
    ".globl __chkstk\n"
    ".p2align 4\n"
    ".def __chkstk; .scl 2; .type 32; .endef\n"
    ".seh_proc __chkstk\n"
    "__chkstk:\n"
    "    push rcx\n"
    "    .seh_pushreg rcx\n"
    "    push rax\n"
    "    .seh_pushreg rax\n"
    "    .seh_endprologue\n"
    "    lea rcx, [rsp + 24]\n"  // the caller's stack pointer
    "    cmp rax, 0x1000\n"
    "    jb .Lchkstk_last_page\n"
    ".Lchkstk_next_page:\n"
    "    sub rcx, 0x1000\n"
    "    test qword ptr [rcx], rcx\n"
    "    sub rax, 0x1000\n"
    "    cmp rax, 0x1000\n"
    "    ja .Lchkstk_next_page\n"
    ".Lchkstk_last_page:\n"
    "    sub rcx, rax\n"
    "    test qword ptr [rcx], rcx\n"
    "    pop rax\n"
    "    pop rcx\n"
    "    ret\n"
    ".seh_endproc\n");
