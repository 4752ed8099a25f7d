<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Counted</name>
    <message>
        <source>%1 difference</source>
        <translation>%1 处差异</translation>
    </message>
    <message>
        <source>%1 differences</source>
        <translation>%1 处差异</translation>
    </message>
    <message>
        <source>%1 parameter</source>
        <translation>%1 个参数</translation>
    </message>
    <message>
        <source>%1 parameters</source>
        <translation>%1 个参数</translation>
    </message>
    <message>
        <source>%1 write</source>
        <translation>%1 次写入</translation>
    </message>
    <message>
        <source>%1 writes</source>
        <translation>%1 次写入</translation>
    </message>
    <message>
        <source>%1 drive</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>%1 drives</source>
        <translation>%1 台变频器</translation>
    </message>
</context>
<context>
    <name>CtlText</name>
    <message>
        <source>Value keys (record, watch):</source>
        <translation>数值键（record、watch）：</translation>
    </message>
    <message>
        <source>  scan [--from N] [--to N]   list the drives that answer (status, edition)
</source>
        <translation>  scan [--from N] [--to N]   列出应答的变频器（状态、版本）
</translation>
    </message>
    <message>
        <source>  find-settings [--from N] [--to N]
                             try the baud rates and parities until a drive answers
                             (scan and find-settings exit 0 when a drive answered,
                             1 when none did, 3 when the port went away)
</source>
        <translation>  find-settings [--from N] [--to N]
                             逐一尝试波特率和校验方式，直到有变频器应答
                             （scan 和 find-settings：有变频器应答时退出码为 0，
                             无应答时为 1，端口消失时为 3）
</translation>
    </message>
    <message>
        <source>  record ADDRESS[,ADDRESS...] --values KEY,KEY,... [--interval 100ms]
         [--duration 2h] [-o FILE.csv [--force]] [--snapshot-dir DIR]
         [--snapshot-before 60s] [--snapshot-after 10s]
                             record running values to CSV until the duration or
                             Ctrl-C (without -o into a new recording-DATE-TIME.csv;
                             an existing file only with --force); a trip writes a
                             snapshot file (exits 1 when no drive answered); with
                             --site and no -o, into the site&apos;s recordings/
</source>
        <translation>  record ADDRESS[,ADDRESS...] --values KEY,KEY,... [--interval 100ms]
         [--duration 2h] [-o FILE.csv [--force]] [--snapshot-dir DIR]
         [--snapshot-before 60s] [--snapshot-after 10s]
                             将运行数据记录到 CSV，直到时长结束或按 Ctrl-C
                             （不带 -o 时写入新的 recording-DATE-TIME.csv；
                             已有文件仅在 --force 时覆盖）；跳闸时写入快照文件
                             （无变频器应答时退出码为 1）；带 --site 且无 -o 时，
                             写入现场的 recordings/
</translation>
    </message>
    <message>
        <source>the backup</source>
        <translation>备份</translation>
    </message>
    <message>
        <source> cannot be saved: </source>
        <translation> 无法保存：</translation>
    </message>
    <message>
        <source>
The drive was not read.</source>
        <translation>
未读取变频器。</translation>
    </message>
    <message>
        <source>nothing was saved</source>
        <translation>未保存任何内容</translation>
    </message>
    <message>
        <source>%1 was not written</source>
        <translation>%1 未写入</translation>
    </message>
    <message>
        <source>stopped; %1.</source>
        <translation>已停止；%1。</translation>
    </message>
    <message>
        <source>drive %1 answered for no parameter; %2.</source>
        <translation>变频器 %1 没有应答任何参数；%2。</translation>
    </message>
    <message>
        <source>drive %1: %2 read, %3 not answered; %4 holds %5 and was left as it was (--force replaces it).</source>
        <translation>变频器 %1：已读取 %2，%3 个未应答；%4 中有 %5 个参数，保持原样（--force 可覆盖）。</translation>
    </message>
    <message>
        <source> could not be saved: </source>
        <translation> 无法保存：</translation>
    </message>
    <message>
        <source>Drive %1: %2 saved to %3</source>
        <translation>变频器 %1：%2 已保存到 %3</translation>
    </message>
    <message>
        <source>Drive %1: %2 read, %3 not answered; saved to %4</source>
        <translation>变频器 %1：已读取 %2，%3 个未应答；已保存到 %4</translation>
    </message>
    <message>
        <source>stopped before the drive was read whole; nothing compared.</source>
        <translation>在读完整个变频器之前已停止；未作比较。</translation>
    </message>
    <message>
        <source>, %1 not answered</source>
        <translation>，%1 未应答</translation>
    </message>
    <message>
        <source>  backup ADDRESS FILE [--force]
                             read every parameter of a drive into FILE (CSV);
                             nothing is saved when the drive answered none, and
                             a FILE holding more answered parameters is kept
                             unless --force is given; with --site and no FILE, a
                             new file in the site&apos;s parameter-sets/
</source>
        <translation>  backup ADDRESS FILE [--force]
                             将变频器的全部参数读入 FILE（CSV）；
                             变频器一个也未应答时不保存；FILE 中已应答的参数
                             更多时保留该文件，除非给出 --force；带 --site 且
                             无 FILE 时，写入现场 parameter-sets/ 中的新文件
</translation>
    </message>
    <message>
        <source>  compare ADDRESS FILE [--include-address] [--include-line]
                             list the parameters where drive and FILE differ
                             (P8.00 and P8.01 left out; with --site and no FILE,
                             the drive&apos;s reference set)
</source>
        <translation>  compare ADDRESS FILE [--include-address] [--include-line]
                             列出变频器与 FILE 不同的参数
                             （不含 P8.00 和 P8.01；带 --site 且无 FILE 时，
                             与该变频器的参考参数集比较）
</translation>
    </message>
    <message>
        <source> needs a value.</source>
        <translation> 需要一个值。</translation>
    </message>
    <message>
        <source>--for takes a time such as 20s or 1min.</source>
        <translation>--for 需要一个时间，例如 20s 或 1min。</translation>
    </message>
    <message>
        <source>--hz takes the frequency to run at, such as 50 or 12.5.</source>
        <translation>--hz 需要运行频率，例如 50 或 12.5。</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>the test run cannot be saved: %1. Nothing was sent.</source>
        <translation>无法保存试运行：%1。未发送任何内容。</translation>
    </message>
    <message>
        <source>Drive %1 will run forward%2 to %3 Hz and hold it %4 s%5. Go ahead?</source>
        <translation>变频器 %1 将正转%2至 %3 Hz 并保持 %4 s%5。是否继续？</translation>
    </message>
    <message>
        <source> and then in reverse</source>
        <translation>，然后反转</translation>
    </message>
    <message>
        <source> each way</source>
        <translation>（每个方向）</translation>
    </message>
    <message>
        <source>not confirmed: nothing was sent (--yes confirms).</source>
        <translation>未确认：未发送任何内容（--yes 表示确认）。</translation>
    </message>
    <message>
        <source>Test run of drive %1 %2; ended: %3.</source>
        <translation>变频器 %1 试运行%2；结束原因：%3。</translation>
    </message>
    <message>
        <source>Not reached: %1.</source>
        <translation>未达到：%1。</translation>
    </message>
    <message>
        <source>drive %1 did not answer the STOP.</source>
        <translation>变频器 %1 未应答 STOP。</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>已保存到 %1。</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 is no test run: %2 at offset %3</source>
        <translation>%1 不是试运行文件：%2（偏移 %3）</translation>
    </message>
    <message>
        <source>%1 is no test run: %2.</source>
        <translation>%1 不是试运行文件：%2。</translation>
    </message>
    <message>
        <source>--paper takes a4 or letter.</source>
        <translation>--paper 取 a4 或 letter。</translation>
    </message>
    <message>
        <source>report takes ADDRESS[,ADDRESS...].</source>
        <translation>report 需要 ADDRESS[,ADDRESS...]。</translation>
    </message>
    <message>
        <source>no technician named (--technician NAME, or the site&apos;s technician); the report leaves the name blank.</source>
        <translation>未指定技术员（--technician NAME，或现场的技术员）；报告中姓名留空。</translation>
    </message>
    <message>
        <source>%1 is there already; nothing was sent.</source>
        <translation>%1 已存在；未发送任何内容。</translation>
    </message>
    <message>
        <source>name the report: -o FILE.pdf.</source>
        <translation>请指定报告文件：-o FILE.pdf。</translation>
    </message>
    <message>
        <source>the report cannot be written: %1. Nothing was sent.</source>
        <translation>无法写入报告：%1。未发送任何内容。</translation>
    </message>
    <message>
        <source>stopped: no report was written.</source>
        <translation>已停止：未写入报告。</translation>
    </message>
    <message>
        <source>drive %1 did not answer; the report says so.</source>
        <translation>变频器 %1 未应答；报告中已注明。</translation>
    </message>
    <message>
        <source>drive %1: %2 not answered and not compared; the report says so.</source>
        <translation>变频器 %1：%2 未应答，未比较；报告中已注明。</translation>
    </message>
    <message>
        <source>Report written: %1 and %2.</source>
        <translation>报告已写入：%1 和 %2。</translation>
    </message>
    <message>
        <source>  testrun ADDRESS --hz F [--for 20s] [--reverse] [--expect KEY&lt;N]...
         [--despite-fault] [-o FILE.json]
                             run the drive forward (and in reverse) to F Hz, hold,
                             STOP, and check it (exit 0 when it ran its whole plan
                             and every check passed); with --site and no -o, into
                             the site&apos;s test-runs/, journaled with its result
</source>
        <translation>  testrun ADDRESS --hz F [--for 20s] [--reverse] [--expect KEY&lt;N]...
         [--despite-fault] [-o FILE.json]
                             变频器正转（及反转）至 F Hz，保持后 STOP 并检查
                             （完整运行且所有检查通过时退出码为 0）；带 --site
                             且无 -o 时，写入现场的 test-runs/，结果记入日志
</translation>
    </message>
    <message>
        <source>  report ADDRESS[,ADDRESS...] -o FILE.pdf [--test-run FILE.json]...
         [--site TEXT] [--customer TEXT] [--technician TEXT]
         [--paper a4|letter] [--appendix|--no-appendix]
                             the commissioning report as PDF, and as HTML beside it:
                             page 1 the verdict, a page or more a drive, the whole
                             sets appended (default: up to 4 drives)
                             (with --site DIR before the command: the line&apos;s drives,
                             the site&apos;s name, customer, technician, names, references,
                             journal and newest test runs,
                             and into its reports/ without -o)
</source>
        <translation>  report ADDRESS[,ADDRESS...] -o FILE.pdf [--test-run FILE.json]...
         [--site TEXT] [--customer TEXT] [--technician TEXT]
         [--paper a4|letter] [--appendix|--no-appendix]
                             调试报告（PDF，并在旁边生成 HTML）：
                             第 1 页为结论，每台变频器一页或多页，附完整参数集
                             （默认：最多 4 台变频器）
                             （命令前带 --site DIR 时：该线路的变频器、现场名称、
                             客户、技术员、名称、参考参数集、日志和最新的试运行，
                             无 -o 时写入现场的 reports/）
</translation>
    </message>
    <message>
        <source>%1 parameter</source>
        <translation>%1 个参数</translation>
    </message>
    <message>
        <source>%1 parameters</source>
        <translation>%1 个参数</translation>
    </message>
    <message>
        <source>%1 drive</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>%1 drives</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>%1 difference</source>
        <translation>%1 处差异</translation>
    </message>
    <message>
        <source>%1 differences</source>
        <translation>%1 处差异</translation>
    </message>
    <message>
        <source>name the drive: ADDRESS 1..31 or a drive&apos;s name.</source>
        <translation>请指定变频器：地址 1..31 或变频器名称。</translation>
    </message>
    <message>
        <source>name the drive: ADDRESS 1..31.</source>
        <translation>请指定变频器：地址 1..31。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no drive of line %2 (%3)</source>
        <translation>“%1”不是线路 %2 上的变频器（%3）</translation>
    </message>
    <message>
        <source>line %1 of the site lists no drives: name them, or give site init --scan.</source>
        <translation>现场的线路 %1 没有列出变频器：请指定变频器，或使用 site init --scan。</translation>
    </message>
    <message>
        <source>: what was sent is not in the site&apos;s journal.</source>
        <translation>：已发送的内容未记入现场日志。</translation>
    </message>
    <message>
        <source>nothing can be saved in the site: %1.</source>
        <translation>无法在现场中保存任何内容：%1。</translation>
    </message>
    <message>
        <source>stopping once the exchange under way has ended.</source>
        <translation>当前通讯结束后停止。</translation>
    </message>
    <message>
        <source>Drive %1: no answer</source>
        <translation>变频器 %1：无应答</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>reverse</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no parameter of the catalogue (write it as P0.14).</source>
        <translation>“%1”不是参数表中的参数（请写作 P0.14 的形式）。</translation>
    </message>
    <message>
        <source>%1 is reserved: it holds nothing to read or write.</source>
        <translation>%1 为保留参数：没有可读写的内容。</translation>
    </message>
    <message>
        <source>get takes ADDRESS PARAMETER...</source>
        <translation>get 需要 ADDRESS PARAMETER...</translation>
    </message>
    <message>
        <source>%1	%2	%3	raw %4	(%5 .. %6)</source>
        <translation>%1	%2	%3	原始值 %4	(%5 .. %6)</translation>
    </message>
    <message>
        <source>refused (exception %1)</source>
        <translation>被拒绝（异常 %1）</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>drive %1, %2: %3</source>
        <translation>变频器 %1，%2：%3</translation>
    </message>
    <message>
        <source>set takes ADDRESS PARAMETER=VALUE...</source>
        <translation>set 需要 ADDRESS PARAMETER=VALUE...</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: write PARAMETER=VALUE (P0.14=12.5). Nothing was written.</source>
        <translation>“%1”：请写作 PARAMETER=VALUE（P0.14=12.5）。未写入任何内容。</translation>
    </message>
    <message>
        <source>%1 changes how the drive is reached; give %2 to write it. Nothing was written.</source>
        <translation>%1 会改变变频器的通讯方式；如要写入请给出 %2。未写入任何内容。</translation>
    </message>
    <message>
        <source>. Nothing was written.</source>
        <translation>。未写入任何内容。</translation>
    </message>
    <message>
        <source>Stopped before anything was written.</source>
        <translation>在写入任何内容之前已停止。</translation>
    </message>
    <message>
        <source>status takes ADDRESS[,ADDRESS...].</source>
        <translation>status 需要 ADDRESS[,ADDRESS...]。</translation>
    </message>
    <message>
        <source>faults takes ADDRESS.</source>
        <translation>faults 需要 ADDRESS。</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>drive %1 did not answer every request.</source>
        <translation>变频器 %1 未应答全部请求。</translation>
    </message>
    <message>
        <source>  get ADDRESS PARAMETER...   read parameters (P0.14 ...): value, raw value, limits
</source>
        <translation>  get ADDRESS PARAMETER...   读取参数（P0.14 ...）：数值、原始值、范围
</translation>
    </message>
    <message>
        <source>  set ADDRESS PARAMETER=VALUE... [--include-address] [--include-line]
                             write parameters, checked against the catalogue&apos;s
                             limits first; each is read back
</source>
        <translation>  set ADDRESS PARAMETER=VALUE... [--include-address] [--include-line]
                             写入参数，先按参数表的范围检查；
                             每个参数写入后回读
</translation>
    </message>
    <message>
        <source>  status ADDRESS[,ADDRESS...]
                             state, direction, fault, output frequency, current,
                             DC bus, and whether the drive obeys the line (with
                             --site and no drive named: every drive of the line)
</source>
        <translation>  status ADDRESS[,ADDRESS...]
                             状态、方向、故障、输出频率、电流、
                             直流母线电压，以及变频器是否服从线路控制
                             （带 --site 且未指定变频器时：该线路的全部变频器）
</translation>
    </message>
    <message>
        <source>  faults ADDRESS             the stored fault records and the values at the
                             last fault
</source>
        <translation>  faults ADDRESS             存储的故障记录及最近一次故障时的数值
</translation>
    </message>
    <message>
        <source>Usage: vfdctl --port NAME [--settings 9600,E,8,1] [--retries N] [--json] [--quiet]
              [--lang en|zh_CN] COMMAND ...
       vfdctl --site DIR [--line NAME] [...] COMMAND ...
       vfdctl --help | --version
Commands:
</source>
        <translation>用法：vfdctl --port NAME [--settings 9600,E,8,1] [--retries N] [--json] [--quiet]
              [--lang en|zh_CN] COMMAND ...
       vfdctl --site DIR [--line NAME] [...] COMMAND ...
       vfdctl --help | --version
命令：
</translation>
    </message>
    <message>
        <source>NAME: COM1..COM16, a device path, tcp://HOST:PORT for a serial-to-Ethernet
gateway in transparent mode, mbtcp://HOST:PORT for one in Modbus TCP mode,
or SIM for simulated drives 1 to 3.
--site DIR (or VFDCTL_SITE=DIR) takes the port and settings of the site&apos;s line
(--line NAME where it has several); its drives&apos; names stand for addresses (quote
a name with spaces), outputs without -o or FILE go into the site under names
never reused, and every write, run command and test run is journaled there (a
journal that cannot be written is said and makes the exit status 1). --site
after &quot;report&quot; is the report&apos;s own plant name.
--json writes one JSON document (JSON lines for record and watch) instead of the
report, with &quot;exit&quot; and &quot;messages&quot; even for a usage or port error; --quiet
leaves out everything but the answers and the problems.
--lang en|zh_CN chooses the language of the words for people; without it the
locale does (LC_ALL, LC_MESSAGES, LANG). With --json everything is English.
Writes go only to a stopped drive and each is read back; without --yes the
writes are listed and confirmed first (with --json, --yes is needed to write).
Ctrl-C ends a command once the exchange on the line has ended, says what was
done, and exits 1 (a running drive is stopped first); so do SIGTERM, SIGHUP
(a closed terminal), SIGQUIT and the reader of the output gone.
Exit status: 0 done; 1 differences found, writes that failed, parameters or
drives that did not answer, or stopped; 2 usage, file or port error; 3 the port
went away (scan, find-settings).
</source>
        <translation>NAME：COM1..COM16、设备路径、tcp://HOST:PORT（透明模式的串口转以太网网关）、
mbtcp://HOST:PORT（Modbus TCP 模式的网关），或 SIM（模拟变频器 1 至 3）。
--site DIR（或 VFDCTL_SITE=DIR）使用现场线路的端口和通讯设置
（有多条线路时用 --line NAME 指定）；变频器名称可代替地址（含空格的名称
请加引号），未给出 -o 或 FILE 的输出以不重复的文件名存入现场，每次写入、
运行命令和试运行都记入现场日志（日志无法写入时会提示，并使退出码为 1）。
&quot;report&quot; 之后的 --site 是报告自身的工厂名称。
--json 输出一个 JSON 文档（record 和 watch 为 JSON 行）代替报告，即使用法
或端口出错也包含 &quot;exit&quot; 和 &quot;messages&quot;；--quiet 只输出结果和问题。
--lang en|zh_CN 选择面向用户的文字语言；未给出时由区域设置决定
（LC_ALL、LC_MESSAGES、LANG）。带 --json 时全部为英文。
只向已停机的变频器写入，每次写入都会回读；不带 --yes 时先列出写入内容
并请求确认（带 --json 时需 --yes 才会写入）。
Ctrl-C 在线路上的当前通讯结束后终止命令，说明已完成的内容，退出码为 1
（正在运行的变频器先停机）；SIGTERM、SIGHUP（终端关闭）、SIGQUIT
以及输出的读取端消失时同样如此。
退出码：0 完成；1 发现差异、写入失败、参数或变频器未应答，或被停止；
2 用法、文件或端口错误；3 端口消失（scan、find-settings）。
</translation>
    </message>
    <message>
        <source>the settings &quot;%1&quot; are not valid.</source>
        <translation>通讯设置“%1”无效。</translation>
    </message>
    <message>
        <source>the port %1 could not be opened: %2</source>
        <translation>无法打开端口 %1：%2</translation>
    </message>
    <message>
        <source>the port %1 closed: %2</source>
        <translation>端口 %1 已关闭：%2</translation>
    </message>
    <message>
        <source>standard output is gone</source>
        <translation>标准输出已不存在</translation>
    </message>
    <message>
        <source>standard error is gone</source>
        <translation>标准错误输出已不存在</translation>
    </message>
    <message>
        <source>standard output could not be written</source>
        <translation>无法写入标准输出</translation>
    </message>
    <message>
        <source>standard error could not be written</source>
        <translation>无法写入标准错误输出</translation>
    </message>
    <message>
        <source>not ready within %1 s.</source>
        <translation>%1 s 内未就绪。</translation>
    </message>
    <message>
        <source>--site takes the site&apos;s folder.</source>
        <translation>--site 需要现场文件夹。</translation>
    </message>
    <message>
        <source>--line takes a line of the site.</source>
        <translation>--line 需要现场的一条线路。</translation>
    </message>
    <message>
        <source>--retries takes 0 to 10.</source>
        <translation>--retries 取 0 至 10。</translation>
    </message>
    <message>
        <source>--verify takes full or read-back.</source>
        <translation>--verify 取 full 或 read-back。</translation>
    </message>
    <message>
        <source>--lang takes en or zh_CN.</source>
        <translation>--lang 取 en 或 zh_CN。</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>未知选项 %1</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>未知命令 %1</translation>
    </message>
    <message>
        <source>name a command.</source>
        <translation>请给出命令。</translation>
    </message>
    <message>
        <source>--line names a line of a site: give --site DIR too.</source>
        <translation>--line 指定现场的线路：请同时给出 --site DIR。</translation>
    </message>
    <message>
        <source>name the port: --port NAME (or --site DIR).</source>
        <translation>请指定端口：--port NAME（或 --site DIR）。</translation>
    </message>
    <message>
        <source>%1: the command was ended.</source>
        <translation>%1：命令已终止。</translation>
    </message>
    <message>
        <source>
Nothing was written.</source>
        <translation>
未写入任何内容。</translation>
    </message>
    <message>
        <source>drive %1</source>
        <translation>变频器 %1</translation>
    </message>
    <message>
        <source>drive %1 did not answer for %2</source>
        <translation>变频器 %1 未应答 %2</translation>
    </message>
    <message>
        <source>%1 takes ADDRESS [FILE] (a drive&apos;s name will do).</source>
        <translation>%1 需要 ADDRESS [FILE]（可用变频器名称）。</translation>
    </message>
    <message>
        <source>the site names no reference set for drive %1: name the FILE.</source>
        <translation>现场没有为变频器 %1 指定参考参数集：请给出 FILE。</translation>
    </message>
    <message>
        <source>Drive %1: the site&apos;s reference set %2.</source>
        <translation>变频器 %1：现场的参考参数集 %2。</translation>
    </message>
    <message>
        <source>refused by the drive</source>
        <translation>被变频器拒绝</translation>
    </message>
    <message>
        <source>no answer: may have been taken</source>
        <translation>无应答：可能已被接受</translation>
    </message>
    <message>
        <source>reads back %1</source>
        <translation>回读为 %1</translation>
    </message>
    <message>
        <source>taken, not read back</source>
        <translation>已接受，未回读</translation>
    </message>
    <message>
        <source>the reference set of drive %1 (%2) could not be read: %3; it is compared with the defaults only</source>
        <translation>无法读取变频器 %1 的参考参数集（%2）：%3；仅与出厂值比较</translation>
    </message>
    <message>
        <source>the site&apos;s journal has %1 unreadable line(s); the report lists the writes it could read</source>
        <translation>现场日志中有 %1 行无法读取；报告列出可读取的写入</translation>
    </message>
    <message>
        <source>give --fwd or --rev, not both.</source>
        <translation>请给出 --fwd 或 --rev，不能同时给出。</translation>
    </message>
    <message>
        <source>--for takes a time such as 10s or 2min.</source>
        <translation>--for 需要一个时间，例如 10s 或 2min。</translation>
    </message>
    <message>
        <source>give the direction: --fwd or --rev.</source>
        <translation>请给出方向：--fwd 或 --rev。</translation>
    </message>
    <message>
        <source>drive %1 does not answer: nothing was sent.</source>
        <translation>变频器 %1 无应答：未发送任何内容。</translation>
    </message>
    <message>
        <source>%1 Hz lies above the drive&apos;s upper limit (P0.06 = %2 Hz): nothing was sent.</source>
        <translation>%1 Hz 高于变频器的上限频率（P0.06 = %2 Hz）：未发送任何内容。</translation>
    </message>
    <message>
        <source>the drive stopped answering</source>
        <translation>变频器不再应答</translation>
    </message>
    <message>
        <source>the port went away</source>
        <translation>端口已消失</translation>
    </message>
    <message>
        <source>the command could not be sent</source>
        <translation>无法发送命令</translation>
    </message>
    <message>
        <source>stopped by the user</source>
        <translation>被用户停止</translation>
    </message>
    <message>
        <source>time up</source>
        <translation>时间到</translation>
    </message>
    <message>
        <source>Drive %1: running %2 at %3 Hz%4 (Ctrl-C stops it).</source>
        <translation>变频器 %1：以 %3 Hz %2运行%4（按 Ctrl-C 停止）。</translation>
    </message>
    <message>
        <source> for %1 s</source>
        <translation>，持续 %1 s</translation>
    </message>
    <message>
        <source>Drive %1: jogging %2 (Ctrl-C stops it).</source>
        <translation>变频器 %1：%2点动（按 Ctrl-C 停止）。</translation>
    </message>
    <message>
        <source>Stopped after %1 s: %2.</source>
        <translation>%1 s 后停止：%2。</translation>
    </message>
    <message>
        <source>stop takes ADDRESS or all.</source>
        <translation>stop 需要 ADDRESS 或 all。</translation>
    </message>
    <message>
        <source>STOP sent to every drive on the line (none answers it).</source>
        <translation>已向线路上的所有变频器发送 STOP（广播无应答）。</translation>
    </message>
    <message>
        <source>STOP could not be sent.</source>
        <translation>无法发送 STOP。</translation>
    </message>
    <message>
        <source>Drive %1: STOP taken.</source>
        <translation>变频器 %1：已接受 STOP。</translation>
    </message>
    <message>
        <source>  run ADDRESS --fwd|--rev --hz F [--for 10s]
                             run the drive at F Hz until --for has passed or
                             Ctrl-C, then STOP (the command is repeated every
                             0.5 s meanwhile)
</source>
        <translation>  run ADDRESS --fwd|--rev --hz F [--for 10s]
                             以 F Hz 运行变频器，直到 --for 时间到或按 Ctrl-C，
                             然后 STOP（期间每 0.5 s 重复发送命令）
</translation>
    </message>
    <message>
        <source>  jog ADDRESS --fwd|--rev [--for 2s]
                             jog the drive until --for has passed or Ctrl-C
</source>
        <translation>  jog ADDRESS --fwd|--rev [--for 2s]
                             点动变频器，直到 --for 时间到或按 Ctrl-C
</translation>
    </message>
    <message>
        <source>  stop ADDRESS|all           STOP one drive, or every drive (broadcast)
</source>
        <translation>  stop ADDRESS|all           停止一台变频器，或全部变频器（广播）
</translation>
    </message>
    <message>
        <source>left out as asked (--include-address or --include-line writes it): </source>
        <translation>按要求略过（--include-address 或 --include-line 可写入）：</translation>
    </message>
    <message>
        <source>left out </source>
        <translation>略过 </translation>
    </message>
    <message>
        <source>Drive %1: nothing to write.</source>
        <translation>变频器 %1：无需写入。</translation>
    </message>
    <message>
        <source>Write %1 to drive %2?</source>
        <translation>将 %1 写入变频器 %2？</translation>
    </message>
    <message>
        <source>Nothing written.</source>
        <translation>未写入任何内容。</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>正在写入</translation>
    </message>
    <message>
        <source>clone takes FILE ADDRESS...</source>
        <translation>clone 需要 FILE ADDRESS...</translation>
    </message>
    <message>
        <source>Drive %1: does not answer, left alone.</source>
        <translation>变频器 %1：无应答，未处理。</translation>
    </message>
    <message>
        <source>Drive %1: matches the file.</source>
        <translation>变频器 %1：与文件一致。</translation>
    </message>
    <message>
        <source>Drive %1: %2 to write</source>
        <translation>变频器 %1：%2 个待写入</translation>
    </message>
    <message>
        <source>  left out </source>
        <translation>  略过 </translation>
    </message>
    <message>
        <source>Nothing to write.</source>
        <translation>无需写入。</translation>
    </message>
    <message>
        <source>Write to %1 as listed?</source>
        <translation>按所列内容写入 %1？</translation>
    </message>
    <message>
        <source>  restore ADDRESS FILE [--yes] [--include-address] [--include-line]
                             write the differing parameters of FILE to the drive
                             (P8.00 and P8.01 left out; with --site and no FILE,
                             the drive&apos;s reference set)
</source>
        <translation>  restore ADDRESS FILE [--yes] [--include-address] [--include-line]
                             将 FILE 中不同的参数写入变频器
                             （不含 P8.00 和 P8.01；带 --site 且无 FILE 时，
                             使用该变频器的参考参数集）
</translation>
    </message>
    <message>
        <source>  clone FILE ADDRESS... [--yes] [--include-line] [--verify full]
                             write FILE to several drives (P8.00 and P8.01 left
                             out); each write is read back, --verify full reads
                             every target again afterwards
</source>
        <translation>  clone FILE ADDRESS... [--yes] [--include-line] [--verify full]
                             将 FILE 写入多台变频器（不含 P8.00 和 P8.01）；
                             每次写入都会回读，--verify full 完成后
                             再次读取每台目标变频器
</translation>
    </message>
    <message>
        <source>site init takes DIR --port NAME.</source>
        <translation>site init 需要 DIR --port NAME。</translation>
    </message>
    <message>
        <source>no site was made: %1.</source>
        <translation>未创建现场：%1。</translation>
    </message>
    <message>
        <source>Site made in %1: line %2 on %3 at %4.</source>
        <translation>已在 %1 创建现场：线路 %2，端口 %3，设置 %4。</translation>
    </message>
    <message>
        <source>the line was not scanned; the site has no drives yet.</source>
        <translation>未扫描线路；现场中还没有变频器。</translation>
    </message>
    <message>
        <source>Scanning addresses 1 to %1 ...</source>
        <translation>正在扫描地址 1 至 %1 ...</translation>
    </message>
    <message>
        <source>stopped: the site has no drives yet.</source>
        <translation>已停止：现场中还没有变频器。</translation>
    </message>
    <message>
        <source>no drive answered at %1: the site has no drives yet.</source>
        <translation>在 %1 上没有变频器应答：现场中还没有变频器。</translation>
    </message>
    <message>
        <source>the drives found could not be written into the site: %1.</source>
        <translation>无法将找到的变频器写入现场：%1。</translation>
    </message>
    <message>
        <source>%1 found and added to line %2.</source>
        <translation>找到 %1，已加入线路 %2。</translation>
    </message>
    <message>
        <source>site status needs the site: --site DIR (or VFDCTL_SITE).</source>
        <translation>site status 需要现场：--site DIR（或 VFDCTL_SITE）。</translation>
    </message>
    <message>
        <source>Line %1 lists no drives (site init --scan, or the site file, adds them).</source>
        <translation>线路 %1 没有列出变频器（可用 site init --scan 或在现场文件中添加）。</translation>
    </message>
    <message>
        <source>reading the drives</source>
        <translation>正在读取变频器</translation>
    </message>
    <message>
        <source>Recording into %1</source>
        <translation>正在记录到 %1</translation>
    </message>
    <message>
        <source>  site init DIR --port NAME [--settings S] [--line NAME] [--name TEXT]
         [--customer TEXT] [--technician TEXT] [--scan]
                             make a site in DIR (refused where one is already):
                             site.conf with one line (line1 unless --line), and
                             with --scan the drives that answer on it
</source>
        <translation>  site init DIR --port NAME [--settings S] [--line NAME] [--name TEXT]
         [--customer TEXT] [--technician TEXT] [--scan]
                             在 DIR 中创建现场（已有现场时拒绝）：
                             含一条线路的 site.conf（未给 --line 时为 line1），
                             带 --scan 时加入该线路上应答的变频器
</translation>
    </message>
    <message>
        <source>  site status [--offline]     the site&apos;s drives of the line: name, edition,
                             readiness, state, parameters against the reference,
                             last test run, recording and report (--offline: from
                             the site&apos;s files alone); exit 1 when a drive did not
                             answer or needs attention (a fault, not ready,
                             parameters that differ, a failed test run)
</source>
        <translation>  site status [--offline]     现场线路上的变频器：名称、版本、就绪情况、
                             状态、参数与参考的比较、最近的试运行、记录和
                             报告（--offline：仅根据现场文件）；有变频器未应答
                             或需要处理（故障、未就绪、参数不同、试运行失败）
                             时退出码为 1
</translation>
    </message>
    <message>
        <source>site commission works on a site: --site DIR (or VFDCTL_SITE).</source>
        <translation>site commission 需要现场：--site DIR（或 VFDCTL_SITE）。</translation>
    </message>
    <message>
        <source>. Nothing was sent.</source>
        <translation>。未发送任何内容。</translation>
    </message>
    <message>
        <source>commissioned</source>
        <translation>已调试</translation>
    </message>
    <message>
        <source>NOT commissioned</source>
        <translation>未完成调试</translation>
    </message>
    <message>
        <source>stopped: the running drives were sent STOP; no report was made.</source>
        <translation>已停止：已向运行中的变频器发送 STOP；未生成报告。</translation>
    </message>
    <message>
        <source>  site commission [DRIVES] [--yes]
                             with --site: scan the line, back up each reference
                             source drive, write its set to the drives of its
                             reference (each write read back), test-run every
                             drive as the site says (test-hz, test-for, ...),
                             then the report; all saved into the site (exit 0
                             when every drive was commissioned and passed)
</source>
        <translation>  site commission [DRIVES] [--yes]
                             带 --site：扫描线路，备份每台参考源变频器，
                             将其参数集写入对应的变频器（每次写入都回读），
                             按现场设置（test-hz、test-for 等）试运行每台变频器，
                             然后生成报告；全部保存到现场（每台变频器都调试
                             完成并通过时退出码为 0）
</translation>
    </message>
    <message>
        <source>unknown value &quot;%1&quot; (see vfdctl --help for the keys).</source>
        <translation>未知数值“%1”（数值键见 vfdctl --help）。</translation>
    </message>
    <message>
        <source>the interval must be 100ms .. 60s.</source>
        <translation>间隔必须为 100ms .. 60s。</translation>
    </message>
    <message>
        <source>--count takes a number of refreshes, 1 or more.</source>
        <translation>--count 需要刷新次数，1 或更多。</translation>
    </message>
    <message>
        <source>watch takes ADDRESS[,ADDRESS...] [--values KEY,...].</source>
        <translation>watch 需要 ADDRESS[,ADDRESS...] [--values KEY,...]。</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>vfdctl watch — %1 — Ctrl-C ends</source>
        <translation>vfdctl watch — %1 — 按 Ctrl-C 结束</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Run rev</source>
        <translation>反转运行</translation>
    </message>
    <message>
        <source>Run fwd</source>
        <translation>正转运行</translation>
    </message>
    <message>
        <source>no drive answered.</source>
        <translation>没有变频器应答。</translation>
    </message>
    <message>
        <source>  watch ADDRESS[,ADDRESS...] [--values KEY,...] [--interval 1s] [--count N]
                             a table of state and running values, refreshed until
                             Ctrl-C (or N refreshes); the default values are
                             freq-out,current,dc-bus
</source>
        <translation>  watch ADDRESS[,ADDRESS...] [--values KEY,...] [--interval 1s] [--count N]
                             状态和运行数据表，持续刷新直到按 Ctrl-C
                             （或刷新 N 次）；默认数值为
                             freq-out,current,dc-bus
</translation>
    </message>
    <message>
        <source>%1  %2: %3 (expected %4)</source>
        <translation>%1  %2：%3（预期 %4）</translation>
    </message>
    <message>
        <source>Drive %1: %2, %3, %4; output %5, %6, DC bus %7</source>
        <translation>变频器 %1：%2，%3，%4；输出 %5，%6，直流母线 %7</translation>
    </message>
    <message>
        <source>%1 = %2 written</source>
        <translation>%1 = %2 已写入</translation>
    </message>
    <message>
        <source>--site: %1.</source>
        <translation>--site：%1。</translation>
    </message>
    <message>
        <source>--site: %1 (--line NAME).</source>
        <translation>--site：%1（--line NAME）。</translation>
    </message>
    <message>
        <source>, line %1</source>
        <translation>，第 %1 行</translation>
    </message>
    <message>
        <source>%1 takes ADDRESS FILE.</source>
        <translation>%1 需要 ADDRESS FILE。</translation>
    </message>
    <message>
        <source>  drive %1: %2, edition %3</source>
        <translation>  变频器 %1：%2，版本 %3</translation>
    </message>
    <message>
        <source>Drive %1: %2 %3</source>
        <translation>变频器 %1：%2 %3</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>线路 %1：%2</translation>
    </message>
    <message>
        <source>Drive %1: %2</source>
        <translation>变频器 %1：%2</translation>
    </message>
    <message>
        <source>Report: %1</source>
        <translation>报告：%1</translation>
    </message>
    <message>
        <source>Unknown argument &quot;%1&quot;; expected --from N --to N.</source>
        <translation>未知参数“%1”；应为 --from N --to N。</translation>
    </message>
    <message>
        <source> needs an address from 1 to 31.</source>
        <translation> 需要 1 至 31 的地址。</translation>
    </message>
    <message>
        <source>--from %1 lies above --to %2.</source>
        <translation>--from %1 大于 --to %2。</translation>
    </message>
    <message>
        <source>The line is busy or the port is closed.</source>
        <translation>线路忙或端口已关闭。</translation>
    </message>
    <message>
        <source>The port closed during the scan.</source>
        <translation>扫描期间端口已关闭。</translation>
    </message>
    <message>
        <source>%1 drive(s) answered of addresses %2..%3 in %4 ms</source>
        <translation>地址 %2..%3 中有 %1 台变频器应答，用时 %4 ms</translation>
    </message>
    <message>
        <source>The port closed during the search.</source>
        <translation>搜索期间端口已关闭。</translation>
    </message>
    <message>
        <source>No drive answered at any setting (%1 tried in %2 ms)</source>
        <translation>所有通讯设置下均无变频器应答（尝试 %1 种，用时 %2 ms）</translation>
    </message>
    <message>
        <source>Drive %1 answers at %2 (%3 setting(s) tried in %4 ms)</source>
        <translation>变频器 %1 在 %2 下应答（尝试 %3 种设置，用时 %4 ms）</translation>
    </message>
    <message>
        <source>Unknown value &quot;%1&quot;.</source>
        <translation>未知数值“%1”。</translation>
    </message>
    <message>
        <source>The interval must be 100ms .. 60s.</source>
        <translation>间隔必须为 100ms .. 60s。</translation>
    </message>
    <message>
        <source>Bad duration &quot;%1&quot;.</source>
        <translation>时长“%1”无效。</translation>
    </message>
    <message>
        <source>Bad snapshot length &quot;%1&quot;.</source>
        <translation>快照时长“%1”无效。</translation>
    </message>
    <message>
        <source>Bad drive addresses: %1.</source>
        <translation>变频器地址无效：%1。</translation>
    </message>
    <message>
        <source>Name the drives and the values to record.</source>
        <translation>请指定要记录的变频器和数值。</translation>
    </message>
    <message>
        <source> exists already: a recording never replaces it unasked (--force replaces it; without -o the recording goes to a new file named by the time).</source>
        <translation> 已存在：记录不会擅自覆盖它（--force 可覆盖；不带 -o 时记录写入以时间命名的新文件）。</translation>
    </message>
    <message>
        <source>The port is not open.</source>
        <translation>端口未打开。</translation>
    </message>
    <message>
        <source>The port closed.</source>
        <translation>端口已关闭。</translation>
    </message>
    <message>
        <source>Recorded %1 rounds into %2 (%3 rows).</source>
        <translation>已记录 %1 轮到 %2（%3 行）。</translation>
    </message>
    <message>
        <source>%1 trip snapshot(s) could not be written.</source>
        <translation>%1 个跳闸快照无法写入。</translation>
    </message>
    <message>
        <source>Drive %1 did not answer</source>
        <translation>变频器 %1 未应答</translation>
    </message>
    <message>
        <source>None of drives %1 answered</source>
        <translation>变频器 %1 均未应答</translation>
    </message>
    <message>
        <source> during the recording.</source>
        <translation>（记录期间）。</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source>  %1: %2%3</source>
        <translation>  %1：%2%3</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation>（%1）</translation>
    </message>
</context>
<context>
    <name>LineScan</name>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>FWD</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>refused (exception %1)</source>
        <translation>被拒绝（异常 %1）</translation>
    </message>
    <message>
        <source>answers after the time-out</source>
        <translation>超时后才应答</translation>
    </message>
    <message>
        <source>answers after the time-out; %1</source>
        <translation>超时后才应答；%1</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>a folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation>命名管道</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>套接字</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>%1, not a file</source>
        <translation>%1，不是文件</translation>
    </message>
    <message>
        <source>larger than %1 bytes</source>
        <translation>大于 %1 字节</translation>
    </message>
    <message>
        <source>the folder %1 takes no new files: %2</source>
        <translation>文件夹 %1 不能新建文件：%2</translation>
    </message>
    <message>
        <source>no file is named</source>
        <translation>未指定文件</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 是文件夹</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>文件夹 %1 不存在</translation>
    </message>
    <message>
        <source>%1 is a file, not a folder</source>
        <translation>%1 是文件，不是文件夹</translation>
    </message>
    <message>
        <source>%1 may not be replaced</source>
        <translation>%1 不可替换</translation>
    </message>
    <message>
        <source>the folder %1 could not be made</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no drive address %2..%3</source>
        <translation>“%1”不是 %2..%3 之间的变频器地址</translation>
    </message>
    <message>
        <source>no drive address is given</source>
        <translation>未给出变频器地址</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has an empty item (two commas in a row, or one at an end)</source>
        <translation>“%1”中有空项（两个逗号相连，或逗号在首尾）</translation>
    </message>
    <message>
        <source>the range &quot;%1&quot; runs backwards</source>
        <translation>范围“%1”是倒序的</translation>
    </message>
    <message>
        <source>a section heading ends with &apos;]&apos;</source>
        <translation>节标题以“]”结尾</translation>
    </message>
    <message>
        <source>[%1] comes twice</source>
        <translation>[%1] 出现了两次</translation>
    </message>
    <message>
        <source>a setting is written KEY = VALUE</source>
        <translation>设置项写作 KEY = VALUE</translation>
    </message>
    <message>
        <source>a setting before any section</source>
        <translation>设置项位于任何节之前</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is set twice in [%2]</source>
        <translation>“%1”在 [%2] 中设置了两次</translation>
    </message>
    <message>
        <source>settings are written BAUD,PARITY,DATA,STOP, such as 9600,E,8,1</source>
        <translation>通讯设置写作 BAUD,PARITY,DATA,STOP，例如 9600,E,8,1</translation>
    </message>
</context>
<context>
    <name>Parameters</name>
    <message>
        <source>Reading drive %1</source>
        <translation>正在读取变频器 %1</translation>
    </message>
    <message>
        <source>Writing drive %1</source>
        <translation>正在写入变频器 %1</translation>
    </message>
    <message>
        <source>Verifying drive %1</source>
        <translation>正在校验变频器 %1</translation>
    </message>
    <message>
        <source>The drive&apos;s address (P8.00) is written to one drive at a time only: written to %1 drives, it would give them all the address %2 and they would answer over each other. Nothing was written.</source>
        <translation>变频器地址（P8.00）每次只能写入一台变频器：若写入 %1 台变频器，它们都会得到地址 %2，应答将互相冲突。未写入任何内容。</translation>
    </message>
    <message>
        <source>Drive %1 did not answer the preview: nothing written.</source>
        <translation>变频器 %1 未应答预读：未写入任何内容。</translation>
    </message>
    <message>
        <source>Drive %1: stopped before its turn; nothing written.</source>
        <translation>变频器 %1：轮到它之前已停止；未写入任何内容。</translation>
    </message>
    <message>
        <source>Drive %1 verified: %2 left.</source>
        <translation>变频器 %1 已校验：剩余 %2。</translation>
    </message>
    <message>
        <source>Drive %1 verified: %2 left, %3 not answered.</source>
        <translation>变频器 %1 已校验：剩余 %2，%3 未应答。</translation>
    </message>
    <message>
        <source>%1 (%2): %3 on the drive, %4 wanted</source>
        <translation>%1（%2）：变频器中为 %3，目标值为 %4</translation>
    </message>
    <message>
        <source>%1: the drive gave no value for it; not written</source>
        <translation>%1：变频器未给出该参数的值；未写入</translation>
    </message>
    <message>
        <source>%1: %2 lies outside %3 .. %4</source>
        <translation>%1：%2 超出 %3 .. %4 的范围</translation>
    </message>
    <message>
        <source>Address 0 reaches every drive: nothing is written there.</source>
        <translation>地址 0 会到达所有变频器：不向该地址写入。</translation>
    </message>
    <message>
        <source>Parameter writing is locked: open the lock with the password first.</source>
        <translation>参数写入已锁定：请先用密码解锁。</translation>
    </message>
    <message>
        <source>Drive %1 reports &quot;Run&quot;: stop it before writing parameters.</source>
        <translation>变频器 %1 处于“运行”状态：写入参数前请先停机。</translation>
    </message>
    <message>
        <source>Drive %1 does not answer: nothing was written.</source>
        <translation>变频器 %1 无应答：未写入任何内容。</translation>
    </message>
    <message>
        <source>A value lies outside the catalogue&apos;s limits or is reserved: nothing was written.</source>
        <translation>有数值超出参数表的范围或为保留值：未写入任何内容。</translation>
    </message>
    <message>
        <source>Drive %1: %2 of %3 written and verified.</source>
        <translation>变频器 %1：已写入并校验 %2/%3 个参数。</translation>
    </message>
    <message>
        <source>The drive took its new address: it now answers at %1.</source>
        <translation>变频器已采用新地址：现在在地址 %1 应答。</translation>
    </message>
    <message>
        <source>The drive stopped answering; the restore ended there.</source>
        <translation>变频器停止应答；恢复在此中止。</translation>
    </message>
    <message>
        <source>Cancelled after the exchange under way.</source>
        <translation>当前通讯完成后已取消。</translation>
    </message>
    <message>
        <source>  %1 = %2: refused by the drive (exception %3)</source>
        <translation>  %1 = %2：被变频器拒绝（异常 %3）</translation>
    </message>
    <message>
        <source>  %1 = %2: reads back as %3</source>
        <translation>  %1 = %2：回读值为 %3</translation>
    </message>
    <message>
        <source>  %1 = %2: written (the drive acknowledged it), not read back</source>
        <translation>  %1 = %2：已写入（变频器已确认），未回读</translation>
    </message>
    <message>
        <source>reads back differently</source>
        <translation>回读值不同</translation>
    </message>
    <message>
        <source>written, not read back</source>
        <translation>已写入，未回读</translation>
    </message>
    <message>
        <source>sent, no answer: may have been written</source>
        <translation>已发送，无应答：可能已写入</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>未写入</translation>
    </message>
    <message>
        <source>value &quot;%1&quot; is not a number</source>
        <translation>数值“%1”不是数字</translation>
    </message>
    <message>
        <source>value &quot;%1&quot; is not one the parameter can hold (it goes in steps of %2)</source>
        <translation>数值“%1”不是该参数可取的值（步长为 %2）</translation>
    </message>
    <message>
        <source>value %1 lies outside %2 .. %3</source>
        <translation>数值 %1 超出 %2 .. %3 的范围</translation>
    </message>
    <message>
        <source>a quoted field is not closed (the file may be cut short)</source>
        <translation>引号内的字段未闭合（文件可能不完整）</translation>
    </message>
    <message>
        <source>%1 is %2, not a file</source>
        <translation>%1 是%2，不是文件</translation>
    </message>
    <message>
        <source>the file is far too large for a parameter set (more than %1 MiB)</source>
        <translation>文件对参数组而言过大（超过 %1 MiB）</translation>
    </message>
    <message>
        <source>the file is in UTF-16; save it as UTF-8 CSV</source>
        <translation>文件为 UTF-16 编码；请另存为 UTF-8 CSV</translation>
    </message>
    <message>
        <source>the text is not UTF-8 (another encoding?); save it as UTF-8 CSV</source>
        <translation>文本不是 UTF-8（其他编码？）；请另存为 UTF-8 CSV</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>the header row is not &quot;%1&quot;</source>
        <translation>标题行不是“%1”</translation>
    </message>
    <message>
        <source>%1 fields where %2 are needed (cut short?)</source>
        <translation>有 %1 个字段，需要 %2 个（文件不完整？）</translation>
    </message>
    <message>
        <source>drive address &quot;%1&quot; is not 0..31</source>
        <translation>变频器地址“%1”不在 0..31 之内</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no ISO 8601 time</source>
        <translation>“%1”不是 ISO 8601 时间</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no count</source>
        <translation>“%1”不是计数</translation>
    </message>
    <message>
        <source>unknown parameter &quot;%1&quot;</source>
        <translation>未知参数“%1”</translation>
    </message>
    <message>
        <source>%1 is listed twice</source>
        <translation>%1 重复列出</translation>
    </message>
    <message>
        <source>%1: raw value &quot;%2&quot; is not 0..65535</source>
        <translation>%1：原始值“%2”不在 0..65535 之内</translation>
    </message>
    <message>
        <source>%1: value &quot;%2&quot; and raw value %3 disagree; change one and empty the other</source>
        <translation>%1：数值“%2”与原始值 %3 不一致；请修改其中一个并清空另一个</translation>
    </message>
    <message>
        <source>%1: value %2 lies outside %3 .. %4</source>
        <translation>%1：数值 %2 超出 %3 .. %4 的范围</translation>
    </message>
    <message>
        <source>the file announces %1 parameters but holds %2 (cut short?)</source>
        <translation>文件声明有 %1 个参数，实际只有 %2 个（文件不完整？）</translation>
    </message>
    <message>
        <source>the file holds no parameters</source>
        <translation>文件中没有参数</translation>
    </message>
    <message>
        <source>Reading the parameters of drive %1: %2 of %3</source>
        <translation>正在读取变频器 %1 的参数：%2/%3</translation>
    </message>
</context>
<context>
    <name>Readiness</name>
    <message>
        <source>drive %1 will ignore run commands from the line: P0.04 = %2 (%3); set it to 2 for serial control</source>
        <translation>变频器 %1 将忽略来自线路的运行命令：P0.04 = %2（%3）；设为 2 即为串行通讯控制</translation>
    </message>
    <message>
        <source>drive %1 will keep its own frequency, not the line&apos;s: P0.01 = %2 (%3); set it to 3 for the serial line</source>
        <translation>变频器 %1 将使用自身的频率给定，而非线路的：P0.01 = %2（%3）；设为 3 即为串行通讯给定</translation>
    </message>
    <message>
        <source>ignores run commands (P0.04 = %1)</source>
        <translation>忽略运行命令（P0.04 = %1）</translation>
    </message>
    <message>
        <source>own frequency (P0.01 = %1)</source>
        <translation>自身频率给定（P0.01 = %1）</translation>
    </message>
    <message>
        <source>ignores run commands (P0.04 = %1); own frequency (P0.01 = %2)</source>
        <translation>忽略运行命令（P0.04 = %1）；自身频率给定（P0.01 = %2）</translation>
    </message>
    <message>
        <source>keypad</source>
        <translation>操作面板</translation>
    </message>
    <message>
        <source>terminals</source>
        <translation>外部端子</translation>
    </message>
    <message>
        <source>serial line</source>
        <translation>串行通讯</translation>
    </message>
    <message>
        <source>unknown source</source>
        <translation>未知来源</translation>
    </message>
    <message>
        <source>panel potentiometer</source>
        <translation>面板电位器</translation>
    </message>
    <message>
        <source>terminals UP/DOWN</source>
        <translation>端子 UP/DOWN</translation>
    </message>
    <message>
        <source>AVI input</source>
        <translation>AVI 输入</translation>
    </message>
    <message>
        <source>ACI input</source>
        <translation>ACI 输入</translation>
    </message>
    <message>
        <source>pulse input</source>
        <translation>脉冲输入</translation>
    </message>
    <message>
        <source>combination</source>
        <translation>组合给定</translation>
    </message>
    <message>
        <source>external terminal</source>
        <translation>外部端子</translation>
    </message>
</context>
<context>
    <name>Serve</name>
    <message>
        <source>the queue folder %1 could not be made</source>
        <translation>无法创建队列文件夹 %1</translation>
    </message>
    <message>
        <source>%1 lines of %2 could not be read and were left out</source>
        <translation>%2 中有 %1 行无法读取，已略过</translation>
    </message>
    <message>
        <source>%1 readings of an earlier run wait for the broker</source>
        <translation>上次运行的 %1 条读数正在等待代理</translation>
    </message>
    <message>
        <source>the commands sent and drifts found are journaled in %1</source>
        <translation>已发送的命令和发现的漂移记入 %1</translation>
    </message>
    <message>
        <source>drifts found are journaled in %1</source>
        <translation>发现的漂移记入 %1</translation>
    </message>
    <message>
        <source>%1; nothing started</source>
        <translation>%1；未启动任何内容</translation>
    </message>
    <message>
        <source>stopping</source>
        <translation>正在停止</translation>
    </message>
    <message>
        <source>stopping: the log cannot be written</source>
        <translation>正在停止：无法写入日志</translation>
    </message>
    <message>
        <source>the broker %1:%2 cannot be reached: %3</source>
        <translation>无法连接代理 %1:%2：%3</translation>
    </message>
    <message>
        <source>no MQTT client could be made</source>
        <translation>无法创建 MQTT 客户端</translation>
    </message>
    <message>
        <source>the broker %1:%2 speaks MQTT 3.1.1 only: a command left retained is told from a fresh one only by the time it carries</source>
        <translation>代理 %1:%2 只支持 MQTT 3.1.1：保留的命令只能凭其携带的时间与新命令区分</translation>
    </message>
    <message>
        <source>the broker %1:%2 refused the connection: %3</source>
        <translation>代理 %1:%2 拒绝了连接：%3</translation>
    </message>
    <message>
        <source>connected to the broker %1:%2</source>
        <translation>已连接到代理 %1:%2</translation>
    </message>
    <message>
        <source>the queue was full: the %1 oldest readings were dropped</source>
        <translation>队列已满：已丢弃最早的 %1 条读数</translation>
    </message>
    <message>
        <source>the connection to the broker was lost (%1); %2 readings wait</source>
        <translation>与代理的连接已断开（%1）；%2 条读数等待中</translation>
    </message>
    <message>
        <source>the queue could not be written: %1</source>
        <translation>无法写入队列：%1</translation>
    </message>
    <message>
        <source>%1 readings kept for the next start</source>
        <translation>%1 条读数保留到下次启动</translation>
    </message>
    <message>
        <source>the queue file %1 cannot be written (%2): the readings queued from now on are at risk, kept in memory only; trying again every %3 s</source>
        <translation>无法写入队列文件 %1（%2）：此后排队的读数仅保存在内存中，有丢失风险；每 %3 s 重试一次</translation>
    </message>
    <message>
        <source>the queue file %1 is written again: the %2 readings waiting are on disk</source>
        <translation>队列文件 %1 已恢复写入：等待中的 %2 条读数已存盘</translation>
    </message>
    <message>
        <source>the queue file %1 still cannot be written (%2): %3 readings at risk</source>
        <translation>队列文件 %1 仍无法写入（%2）：%3 条读数有丢失风险</translation>
    </message>
    <message>
        <source>line %1: shared with Modbus TCP clients at %2</source>
        <translation>线路 %1：在 %2 与 Modbus TCP 客户端共享</translation>
    </message>
    <message>
        <source>line %1: the port %2 cannot be used: %3; trying again every %4 s</source>
        <translation>线路 %1：端口 %2 无法使用：%3；每 %4 s 重试一次</translation>
    </message>
    <message>
        <source>line %1: reading %2</source>
        <translation>线路 %1：正在读取 %2</translation>
    </message>
    <message>
        <source>line %1: drive %2 tripped: %3 %4</source>
        <translation>线路 %1：变频器 %2 跳闸：%3 %4</translation>
    </message>
    <message>
        <source>line %1: drift watch: a pass over %2 drives took %3 min (%4 s of the line&apos;s time)</source>
        <translation>线路 %1：漂移监视：遍历 %2 台变频器用时 %3 min（占用线路 %4 s）</translation>
    </message>
    <message>
        <source>line %1: drift watch: drive %2 is not watched: %3</source>
        <translation>线路 %1：漂移监视：变频器 %2 未被监视：%3</translation>
    </message>
    <message>
        <source>line %1: drift watch: drive %2 compared with what it held when first read (%3 parameters)</source>
        <translation>线路 %1：漂移监视：变频器 %2 与首次读取时的值比较（%3 个参数）</translation>
    </message>
    <message>
        <source>line %1: drive %2: %3 %4 (commissioned %5)</source>
        <translation>线路 %1：变频器 %2：%3 %4（调试值 %5）</translation>
    </message>
    <message>
        <source>back at its commissioned value</source>
        <translation>已恢复为调试值</translation>
    </message>
    <message>
        <source>is %1</source>
        <translation>为 %1</translation>
    </message>
    <message>
        <source>%1: the commands sent from now on wait in memory for it (STOPs still go at once); trying again every %2 s</source>
        <translation>%1：此后发送的命令在内存中等待写入（停机命令仍立即发出）；每 %2 s 重试一次</translation>
    </message>
    <message>
        <source>the journal %1 is written again</source>
        <translation>日志 %1 已恢复写入</translation>
    </message>
    <message>
        <source>%1 commands sent could not be written into the journal %2</source>
        <translation>已发送的 %1 条命令无法写入日志 %2</translation>
    </message>
    <message>
        <source>line %1: refused a retained command on %2 from %3: a command must be fresh</source>
        <translation>线路 %1：拒绝了 %3 在 %2 上的保留命令：命令必须是新的</translation>
    </message>
    <message>
        <source>line %1: refused a command from %2 for drive %3: not a drive of this line</source>
        <translation>线路 %1：拒绝了 %2 发给变频器 %3 的命令：不是本线路的变频器</translation>
    </message>
    <message>
        <source>line %1: refused a command from %2 for drive %3: %4</source>
        <translation>线路 %1：拒绝了 %2 发给变频器 %3 的命令：%4</translation>
    </message>
    <message>
        <source>line %1: drive %2: stop from %3</source>
        <translation>线路 %1：变频器 %2：来自 %3 的停机命令</translation>
    </message>
    <message>
        <source>command is fwd, rev or stop</source>
        <translation>command 为 fwd、rev 或 stop</translation>
    </message>
    <message>
        <source>hz is a frequency from 0 to 655.35</source>
        <translation>hz 为 0 至 655.35 的频率</translation>
    </message>
    <message>
        <source>%1 Hz lies above the drive&apos;s upper limit (P0.06 = %2 Hz)</source>
        <translation>%1 Hz 高于变频器的上限频率（P0.06 = %2 Hz）</translation>
    </message>
    <message>
        <source>time is an ISO 8601 time, such as 2024-05-01T12:00:00Z</source>
        <translation>time 为 ISO 8601 时间，例如 2024-05-01T12:00:00Z</translation>
    </message>
    <message>
        <source>sent %1 s ago, longer than the rhythm of %2 s: a command must be fresh</source>
        <translation>%1 s 前发送，超过 %2 s 的周期：命令必须是新的</translation>
    </message>
    <message>
        <source>line %1: drive %2: %3 %4 Hz from %5</source>
        <translation>线路 %1：变频器 %2：来自 %5 的 %3 %4 Hz</translation>
    </message>
    <message>
        <source>line %1: drive %2: upper limit P0.06 = %3 Hz</source>
        <translation>线路 %1：变频器 %2：上限频率 P0.06 = %3 Hz</translation>
    </message>
    <message>
        <source>line %1: drive %2: %3 Hz now lies above its upper limit (P0.06 = %4 Hz): stopping it</source>
        <translation>线路 %1：变频器 %2：%3 Hz 现已高于其上限频率（P0.06 = %4 Hz）：正在停机</translation>
    </message>
    <message>
        <source>line %1: refused a command from %2 for drive %3: its upper limit P0.06 could not be read</source>
        <translation>线路 %1：拒绝了 %2 发给变频器 %3 的命令：无法读取其上限频率 P0.06</translation>
    </message>
    <message>
        <source>line %1: stop of every drive from %2</source>
        <translation>线路 %1：来自 %2 的全部变频器停机命令</translation>
    </message>
    <message>
        <source>line %1: drive %2: stopped, since nobody will renew its command</source>
        <translation>线路 %1：变频器 %2：已停机，因为无人再更新其命令</translation>
    </message>
    <message>
        <source>line %1: drive %2 did not answer its stop, sent %3 times</source>
        <translation>线路 %1：变频器 %2 未应答停机命令，已发送 %3 次</translation>
    </message>
    <message>
        <source>line %1: drive %2: no fresh command within %3 ms: stopping it</source>
        <translation>线路 %1：变频器 %2：%3 ms 内没有新命令：正在停机</translation>
    </message>
    <message>
        <source>line %1: share: %2 is not one of share-clients; disconnected (said once for each address)</source>
        <translation>线路 %1：共享：%2 不在 share-clients 中；已断开（每个地址只提示一次）</translation>
    </message>
    <message>
        <source>line %1: share: client %2 connected</source>
        <translation>线路 %1：共享：客户端 %2 已连接</translation>
    </message>
    <message>
        <source>line %1: share: client %2 went</source>
        <translation>线路 %1：共享：客户端 %2 已离开</translation>
    </message>
    <message>
        <source>line %1: drive %2: stopped, since the clients that ran it are gone</source>
        <translation>线路 %1：变频器 %2：已停机，因为运行它的客户端已离开</translation>
    </message>
    <message>
        <source>line %1: share: refused a write from %2 for drive %3 (exception %4): %5</source>
        <translation>线路 %1：共享：拒绝了 %2 对变频器 %3 的写入（异常码 %4）：%5</translation>
    </message>
    <message>
        <source>line %1: share: refused a run command from %2 for drive %3 (exception %4): %5</source>
        <translation>线路 %1：共享：拒绝了 %2 发给变频器 %3 的运行命令（异常码 %4）：%5</translation>
    </message>
    <message>
        <source>line %1: share: every drive: stop from %2</source>
        <translation>线路 %1：共享：所有变频器：来自 %2 的停机命令</translation>
    </message>
    <message>
        <source>line %1: share: drive %2: stop from %3</source>
        <translation>线路 %1：共享：变频器 %2：来自 %3 的停机命令</translation>
    </message>
    <message>
        <source>line %1: share: drive %2: %3 = %4 from %5: %6</source>
        <translation>线路 %1：共享：变频器 %2：%3 = %4，来自 %5：%6</translation>
    </message>
    <message>
        <source>refused by the drive</source>
        <translation>被变频器拒绝</translation>
    </message>
    <message>
        <source>sent, no answer</source>
        <translation>已发送，无应答</translation>
    </message>
    <message>
        <source>line %1: share: drive %2: %3 from %4</source>
        <translation>线路 %1：共享：变频器 %2：%3，来自 %4</translation>
    </message>
    <message>
        <source>writes are not allowed on this line (share-writes)</source>
        <translation>本线路不允许写入（share-writes）</translation>
    </message>
    <message>
        <source>a write to every drive at once is never passed on</source>
        <translation>同时写入所有变频器的请求一律不转发</translation>
    </message>
    <message>
        <source>drive %1 is not a drive of this line</source>
        <translation>变频器 %1 不是本线路的变频器</translation>
    </message>
    <message>
        <source>register %1 is no parameter that can be written</source>
        <translation>寄存器 %1 不是可写入的参数</translation>
    </message>
    <message>
        <source>%1 changes how the drive is reached (share-include)</source>
        <translation>%1 会改变变频器的通讯方式（share-include）</translation>
    </message>
    <message>
        <source>%1 = %2 lies outside %3 .. %4</source>
        <translation>%1 = %2 超出 %3 .. %4</translation>
    </message>
    <message>
        <source>drive %1 has not answered its status</source>
        <translation>变频器 %1 尚未应答其状态</translation>
    </message>
    <message>
        <source>run commands are not allowed on this line (share-commands)</source>
        <translation>本线路不允许运行命令（share-commands）</translation>
    </message>
    <message>
        <source>0x%1 is no run command</source>
        <translation>0x%1 不是运行命令</translation>
    </message>
    <message>
        <source>only a STOP goes to every drive at once</source>
        <translation>只有停机命令可同时发给所有变频器</translation>
    </message>
    <message>
        <source>forward %1 Hz</source>
        <translation>正转 %1 Hz</translation>
    </message>
    <message>
        <source>reverse %1 Hz</source>
        <translation>反转 %1 Hz</translation>
    </message>
    <message>
        <source>forward (single drive) %1 Hz</source>
        <translation>正转（单台）%1 Hz</translation>
    </message>
    <message>
        <source>reverse (single drive) %1 Hz</source>
        <translation>反转（单台）%1 Hz</translation>
    </message>
    <message>
        <source>jog forward</source>
        <translation>正转点动</translation>
    </message>
    <message>
        <source>jog reverse</source>
        <translation>反转点动</translation>
    </message>
    <message>
        <source>command 0x%1</source>
        <translation>命令 0x%1</translation>
    </message>
    <message>
        <source>sparkplug: a command on %1 is no Sparkplug payload</source>
        <translation>sparkplug：%1 上的命令不是 Sparkplug 负载</translation>
    </message>
    <message>
        <source>sparkplug: refused a retained command on %1: a command must be fresh</source>
        <translation>sparkplug：拒绝了 %1 上的保留命令：命令必须是新发出的</translation>
    </message>
    <message>
        <source>sparkplug: refused a command for %1: not a device of this node</source>
        <translation>sparkplug：拒绝了发给 %1 的命令：不是本节点的设备</translation>
    </message>
    <message>
        <source>sparkplug: a host asked for a rebirth</source>
        <translation>sparkplug：主机请求重新发出出生证书（rebirth）</translation>
    </message>
    <message>
        <source>sparkplug: refused a node command on %1: only Node Control/Rebirth is written</source>
        <translation>sparkplug：拒绝了 %1 上的节点命令：只能写入 Node Control/Rebirth</translation>
    </message>
    <message>
        <source>line %1: drive %2: refused a Sparkplug write of %3: %4</source>
        <translation>线路 %1：变频器 %2：拒绝了对 %3 的 Sparkplug 写入：%4</translation>
    </message>
    <message>
        <source>no such metric</source>
        <translation>无此指标</translation>
    </message>
    <message>
        <source>not writable</source>
        <translation>不可写</translation>
    </message>
    <message>
        <source>not writable (commands are not enabled)</source>
        <translation>不可写（未启用命令）</translation>
    </message>
    <message>
        <source>line %1: drive %2: refused a Sparkplug write of %3: it takes fwd, rev or stop</source>
        <translation>线路 %1：变频器 %2：拒绝了对 %3 的 Sparkplug 写入：只接受 fwd、rev 或 stop</translation>
    </message>
    <message>
        <source>sparkplug: the primary host %1 is online</source>
        <translation>sparkplug：主机 %1 已上线</translation>
    </message>
    <message>
        <source>sparkplug: the primary host %1 went offline; waiting for it</source>
        <translation>sparkplug：主机 %1 已离线；等待其上线</translation>
    </message>
    <message>
        <source>discovery: %1 is no longer served; removed</source>
        <translation>discovery：%1 已不再提供；已删除</translation>
    </message>
    <message>
        <source>drive %1 runs: parameters are written at a standstill</source>
        <translation>变频器 %1 正在运行：参数须在停机时写入</translation>
    </message>
</context>
<context>
    <name>ServeText</name>
    <message>
        <source>  serve [CONFIG | --site DIR] [--broker mqtt://HOST:PORT] [--drives 1-3]
        [--values KEY,...] [--interval 1s] [--every 60s] [--prefix vfd]
        [--line NAME] [--client-id ID] [--queue-dir DIR] [--queue-size N]
        [--commands [--rhythm 2s]]
                             publish drives to an MQTT broker until stopped; with
                             --port the options make one line, CONFIG may hold
                             several, and so may a site&apos;s DIR/site.conf (its
                             drives&apos; names published, the commands it sends
                             journaled; --line NAME serves one of its lines)
                             (runs until SIGTERM, SIGINT, SIGHUP or SIGQUIT,
                             stopping the drives it runs first; exits 2 on a bad
                             setting, 1 when its log cannot be written)
</source>
        <translation>  serve [CONFIG | --site DIR] [--broker mqtt://HOST:PORT] [--drives 1-3]
        [--values KEY,...] [--interval 1s] [--every 60s] [--prefix vfd]
        [--line NAME] [--client-id ID] [--queue-dir DIR] [--queue-size N]
        [--commands [--rhythm 2s]]
                             将变频器发布到 MQTT 代理，直到被停止；带 --port 时
                             各选项组成一条线路，CONFIG 可包含多条，现场的
                             DIR/site.conf 也可以（发布变频器名称，发送的命令
                             记入日志；--line NAME 只服务其中一条线路）
                             （运行到 SIGTERM、SIGINT、SIGHUP 或 SIGQUIT，
                             先停止它运行的变频器；设置错误时退出码为 2，
                             日志无法写入时为 1）
</translation>
    </message>
    <message>
        <source>Usage: vfdctl [--port NAME | --site DIR [--line NAME]] [--settings 9600,E,8,1]
              [--retries N] serve ...
</source>
        <translation>用法：vfdctl [--port NAME | --site DIR [--line NAME]] [--settings 9600,E,8,1]
              [--retries N] serve ...
</translation>
    </message>
    <message>
        <source>%1; nothing started.</source>
        <translation>%1；未启动任何内容。</translation>
    </message>
</context>
<context>
    <name>ShownText</name>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
</context>
<context>
    <name>SiteCommission</name>
    <message>
        <source>%1 drive</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>%1 drives</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>Commission %1 of line %2:</source>
        <translation>调试线路 %2 的 %1：</translation>
    </message>
    <message>
        <source> back up %1 (reference source);</source>
        <translation> 备份 %1（参考源）；</translation>
    </message>
    <message>
        <source> write the references to %1;</source>
        <translation> 将参考参数写入 %1；</translation>
    </message>
    <message>
        <source> run each drive forward%1 at %2 Hz for %3 s (%4 at a time); then the report. Go ahead?</source>
        <translation> 每台变频器以 %2 Hz 正转%1运行 %3 s（每次 %4）；然后生成报告。是否继续？</translation>
    </message>
    <message>
        <source> and in reverse</source>
        <translation>及反转</translation>
    </message>
</context>
<context>
    <name>SiteFiles</name>
    <message>
        <source>the journal %1 cannot be opened: %2</source>
        <translation>无法打开日志 %1：%2</translation>
    </message>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>无法写入日志 %1：%2</translation>
    </message>
    <message>
        <source>%1 takes at most 200 characters</source>
        <translation>%1 最多 200 个字符</translation>
    </message>
    <message>
        <source>%1 holds a control character</source>
        <translation>%1 含有控制字符</translation>
    </message>
    <message>
        <source>reference names a file of the parameter sets folder, without a folder</source>
        <translation>reference 指定参数组文件夹中的一个文件，不带文件夹</translation>
    </message>
    <message>
        <source>test-hz takes the frequency to run at, such as 50 or 12.5</source>
        <translation>test-hz 取运行频率，例如 50 或 12.5</translation>
    </message>
    <message>
        <source>test-for takes a time up to an hour, such as 20s or 1min</source>
        <translation>test-for 取不超过一小时的时间，例如 20s 或 1min</translation>
    </message>
    <message>
        <source>test-reverse takes yes or no</source>
        <translation>test-reverse 取 yes 或 no</translation>
    </message>
    <message>
        <source>a line&apos;s name is one topic level: letters, digits, &apos;_&apos;, &apos;.&apos; and &apos;-&apos;</source>
        <translation>线路名称为一个主题层级：字母、数字、“_”、“.”和“-”</translation>
    </message>
    <message>
        <source>parallel takes 1 to %1 drives</source>
        <translation>parallel 取 1 至 %1 台变频器</translation>
    </message>
    <message>
        <source>a drive&apos;s name is not empty</source>
        <translation>变频器名称不能为空</translation>
    </message>
    <message>
        <source>reference-source takes yes or no</source>
        <translation>reference-source 取 yes 或 no</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a setting of [%2]</source>
        <translation>“%1”不是 [%2] 的设置项</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>[drive %1 %2] names no line of the site</source>
        <translation>[drive %1 %2] 指定的线路不在现场中</translation>
    </message>
    <message>
        <source>drive %1 is not among the drives of [line %2]</source>
        <translation>变频器 %1 不在 [line %2] 的变频器之中</translation>
    </message>
    <message>
        <source>the name &quot;%1&quot; is given on line %2 already</source>
        <translation>名称“%1”已在第 %2 行使用</translation>
    </message>
    <message>
        <source>reference-source needs the drive&apos;s reference (reference = FILE)</source>
        <translation>reference-source 需要该变频器的参考参数集（reference = FILE）</translation>
    </message>
    <message>
        <source>%1 has its source drive on line %2 already</source>
        <translation>%1 已在第 %2 行指定了源变频器</translation>
    </message>
    <message>
        <source>[line %1] names no port</source>
        <translation>[line %1] 未指定端口</translation>
    </message>
    <message>
        <source>larger than a site&apos;s file can be</source>
        <translation>超过现场文件可有的大小</translation>
    </message>
    <message>
        <source>%1 is no folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>%1 holds no site (no %2)</source>
        <translation>%1 中没有现场（无 %2）</translation>
    </message>
    <message>
        <source>%1 holds a site already</source>
        <translation>%1 中已有现场</translation>
    </message>
    <message>
        <source>the new site&apos;s file would not read: %1</source>
        <translation>新现场的文件无法读取：%1</translation>
    </message>
    <message>
        <source>the site has no line</source>
        <translation>现场没有线路</translation>
    </message>
    <message>
        <source>the site has lines %1: name one</source>
        <translation>现场有线路 %1：请指定其中一条</translation>
    </message>
    <message>
        <source>the site has no line &quot;%1&quot;</source>
        <translation>现场没有线路“%1”</translation>
    </message>
    <message>
        <source>drive %1 is not a drive of line %2</source>
        <translation>变频器 %1 不是线路 %2 的变频器</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no drive of line %2</source>
        <translation>“%1”不是线路 %2 的变频器</translation>
    </message>
    <message>
        <source>%1 cannot be made: %2</source>
        <translation>无法创建 %1：%2</translation>
    </message>
    <message>
        <source>%1: every name of this second is taken</source>
        <translation>%1：这一秒的所有名称都已占用</translation>
    </message>
    <message>
        <source>the site has no drive %1 on line %2</source>
        <translation>现场的线路 %2 上没有变频器 %1</translation>
    </message>
    <message>
        <source>the site has no line %1</source>
        <translation>现场没有线路 %1</translation>
    </message>
</context>
<context>
    <name>SiteStatus</name>
    <message>
        <source>not readable</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>未读取</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>run reverse</source>
        <translation>反转运行</translation>
    </message>
    <message>
        <source>run forward</source>
        <translation>正转运行</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>run reverse, fault: %1</source>
        <translation>反转运行，故障：%1</translation>
    </message>
    <message>
        <source>run forward, fault: %1</source>
        <translation>正转运行，故障：%1</translation>
    </message>
    <message>
        <source>stop, fault: %1</source>
        <translation>停机，故障：%1</translation>
    </message>
    <message>
        <source>no reference</source>
        <translation>无参考参数集</translation>
    </message>
    <message>
        <source>reference not readable</source>
        <translation>参考参数集无法读取</translation>
    </message>
    <message>
        <source>not read since the last write</source>
        <translation>上次写入后未读取</translation>
    </message>
    <message>
        <source>matches</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>%1 differ</source>
        <translation>%1 个不同</translation>
    </message>
    <message>
        <source>%1 not answered</source>
        <translation>%1 个未应答</translation>
    </message>
    <message>
        <source>%1 differ, %2 not answered</source>
        <translation>%1 个不同，%2 个未应答</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>fault: %1</source>
        <translation>故障：%1</translation>
    </message>
    <message>
        <source>not ready: %1</source>
        <translation>未就绪：%1</translation>
    </message>
    <message>
        <source>%1 parameters differ from the reference</source>
        <translation>%1 个参数与参考参数集不同</translation>
    </message>
    <message>
        <source>test run %1</source>
        <translation>试运行%1</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>not completed</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>未通过：%1</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>线路</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Readiness</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Test run</source>
        <translation>试运行</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>注意</translation>
    </message>
</context>
<context>
    <name>SiteSteps</name>
    <message>
        <source>the reference %1 could not be made: %2</source>
        <translation>无法生成参考参数集 %1：%2</translation>
    </message>
    <message>
        <source>the reference %1 cannot be read: %2</source>
        <translation>无法读取参考参数集 %1：%2</translation>
    </message>
    <message>
        <source>drive %1 differs from its reference %2 in %3 (%4), which is never replaced: name a new reference for the row, or set the drive back; nothing was written to the row</source>
        <translation>变频器 %1 的 %3 与其参考参数集 %2 不同（%4），而参考参数集从不替换：请为该行指定新的参考参数集，或将变频器改回；未向该行写入任何内容</translation>
    </message>
    <message>
        <source>%1: %2 of %3</source>
        <translation>%1：%2/%3</translation>
    </message>
    <message>
        <source>drive %1 did not answer the reading before the writes: nothing written</source>
        <translation>变频器 %1 未应答写入前的读取：未写入任何内容</translation>
    </message>
    <message>
        <source>cancelled before its writes</source>
        <translation>写入前已取消</translation>
    </message>
    <message>
        <source>matched %1 already</source>
        <translation>已与 %1 一致</translation>
    </message>
    <message>
        <source>%1 of %2, each read back</source>
        <translation>%1（%2），均已回读</translation>
    </message>
    <message>
        <source>Drive %1: %2</source>
        <translation>变频器 %1：%2</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>STOP: no answer</source>
        <translation>停机：无应答</translation>
    </message>
    <message>
        <source>%1 (%2); the run could not be saved: %3</source>
        <translation>%1（%2）；无法保存运行结果：%3</translation>
    </message>
    <message>
        <source>the report could not be made: %1</source>
        <translation>无法生成报告：%1</translation>
    </message>
    <message>
        <source>Reading the drives for the report</source>
        <translation>正在为报告读取变频器</translation>
    </message>
    <message>
        <source>did not answer for the report; it says so</source>
        <translation>未应答报告的读取；报告中已注明</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>位于 %1</translation>
    </message>
    <message>
        <source>scan</source>
        <translation>扫描</translation>
    </message>
    <message>
        <source>backup</source>
        <translation>备份</translation>
    </message>
    <message>
        <source>clone</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>test run</source>
        <translation>试运行</translation>
    </message>
    <message>
        <source>report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>未进行</translation>
    </message>
    <message>
        <source>drive %1 is not a drive of line %2</source>
        <translation>变频器 %1 不是线路 %2 的变频器</translation>
    </message>
    <message>
        <source>line %1 has no drives to commission</source>
        <translation>线路 %1 没有要调试的变频器</translation>
    </message>
    <message>
        <source>the site names no test frequency: test-hz = HZ in [site] or [line %1]</source>
        <translation>现场未指定试运行频率：请在 [site] 或 [line %1] 中设置 test-hz = HZ</translation>
    </message>
    <message>
        <source>Cancelling: stopping the running drives first</source>
        <translation>正在取消：先停止正在运行的变频器</translation>
    </message>
    <message>
        <source>Scanning line %1</source>
        <translation>正在扫描线路 %1</translation>
    </message>
    <message>
        <source>drive %1 does not answer</source>
        <translation>变频器 %1 无应答</translation>
    </message>
    <message>
        <source>answers when asked again, %1</source>
        <translation>再次询问时应答，%1</translation>
    </message>
    <message>
        <source>reports a fault</source>
        <translation>报告故障</translation>
    </message>
    <message>
        <source>run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>answers, edition %1, %2</source>
        <translation>应答，版本 %1，%2</translation>
    </message>
    <message>
        <source>answers, edition %1, %2, takes no run commands from the line</source>
        <translation>应答，版本 %1，%2，不接受来自线路的运行命令</translation>
    </message>
    <message>
        <source>answers when asked again, %1, takes no run commands from the line</source>
        <translation>再次询问时应答，%1，不接受来自线路的运行命令</translation>
    </message>
    <message>
        <source>fault: %1</source>
        <translation>故障：%1</translation>
    </message>
    <message>
        <source>its reference source, drive %1, was not read</source>
        <translation>其参考源变频器 %1 未读取</translation>
    </message>
    <message>
        <source>%1 is not there yet: commission its source, drive %2, with the row</source>
        <translation>%1 尚不存在：请将其源变频器 %2 与该行一起调试</translation>
    </message>
    <message>
        <source>%1 is not there and no drive is its source (reference-source = yes)</source>
        <translation>%1 不存在，且没有变频器作为其源（reference-source = yes）</translation>
    </message>
    <message>
        <source>Reading drive %1: %2 of %3</source>
        <translation>正在读取变频器 %1：%2/%3</translation>
    </message>
    <message>
        <source>cancelled: nothing was saved</source>
        <translation>已取消：未保存任何内容</translation>
    </message>
    <message>
        <source>its reference source, drive %1, could not be backed up</source>
        <translation>其参考源变频器 %1 无法备份</translation>
    </message>
    <message>
        <source>drive %1 answered for no parameter: nothing was saved</source>
        <translation>变频器 %1 没有应答任何参数：未保存任何内容</translation>
    </message>
    <message>
        <source>the backup could not be saved: %1</source>
        <translation>无法保存备份：%1</translation>
    </message>
    <message>
        <source>%1 not answered: saved, not taken as the reference</source>
        <translation>%1 未应答：已保存，但不作为参考参数集</translation>
    </message>
    <message>
        <source>%1 parameters read</source>
        <translation>已读取 %1 个参数</translation>
    </message>
    <message>
        <source>%1 parameters read; the reference %2</source>
        <translation>已读取 %1 个参数；参考参数集 %2</translation>
    </message>
    <message>
        <source>%1 parameters read; not taken as %2</source>
        <translation>已读取 %1 个参数；不作为 %2</translation>
    </message>
</context>
<context>
    <name>TestRun</name>
    <message>
        <source>passed</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>未通过</translation>
    </message>
    <message>
        <source>not completed</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>未通过：%1</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>reverse</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>in reverse</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>the run command could not be sent</source>
        <translation>无法发送运行命令</translation>
    </message>
    <message>
        <source>Reading drive %1</source>
        <translation>正在读取变频器 %1</translation>
    </message>
    <message>
        <source>drive %1 does not answer: nothing was sent</source>
        <translation>变频器 %1 无应答：未发送任何内容</translation>
    </message>
    <message>
        <source>Drive %1 reports fault %2. Run the test all the same?</source>
        <translation>变频器 %1 报告故障 %2。仍要进行试运行吗？</translation>
    </message>
    <message>
        <source>drive %1 reports fault %2 at the start: nothing was sent</source>
        <translation>变频器 %1 开始时报告故障 %2：未发送任何内容</translation>
    </message>
    <message>
        <source>drive %1 did not answer P0.04 and P0.01: nothing was sent</source>
        <translation>变频器 %1 未应答 P0.04 和 P0.01：未发送任何内容</translation>
    </message>
    <message>
        <source>drive %1 does not take run commands and frequency from the line: nothing was sent</source>
        <translation>变频器 %1 不接受来自线路的运行命令和频率：未发送任何内容</translation>
    </message>
    <message>
        <source>drive %1 did not answer P0.14 and P0.06: nothing was sent</source>
        <translation>变频器 %1 未应答 P0.14 和 P0.06：未发送任何内容</translation>
    </message>
    <message>
        <source>%1 lies above the drive&apos;s upper limit P0.06 = %2: nothing was sent</source>
        <translation>%1 高于变频器的上限频率 P0.06 = %2：未发送任何内容</translation>
    </message>
    <message>
        <source>the drive refused the run command (exception %1)</source>
        <translation>变频器拒绝了运行命令（异常 %1）</translation>
    </message>
    <message>
        <source>the port went away</source>
        <translation>端口已消失</translation>
    </message>
    <message>
        <source>a STOP for the drive came from elsewhere</source>
        <translation>该变频器收到了来自别处的停机命令</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>端口已关闭</translation>
    </message>
    <message>
        <source>Resetting the fault with STOP</source>
        <translation>正在用停机命令复位故障</translation>
    </message>
    <message>
        <source>the STOP could not be sent</source>
        <translation>无法发送停机命令</translation>
    </message>
    <message>
        <source>the drive did not answer the STOP that resets its fault</source>
        <translation>变频器未应答复位故障的停机命令</translation>
    </message>
    <message>
        <source>the drive stopped answering its run commands</source>
        <translation>变频器不再应答运行命令</translation>
    </message>
    <message>
        <source>the drive stopped answering</source>
        <translation>变频器停止应答</translation>
    </message>
    <message>
        <source>the drive tripped: fault %1</source>
        <translation>变频器跳闸：故障 %1</translation>
    </message>
    <message>
        <source>the drive did not reach %1 within %2</source>
        <translation>变频器未在 %2 内达到 %1</translation>
    </message>
    <message>
        <source>cancelled by the user before anything was sent</source>
        <translation>发送任何内容前已被用户取消</translation>
    </message>
    <message>
        <source>cancelled by the user</source>
        <translation>已被用户取消</translation>
    </message>
    <message>
        <source>Stopping: %1</source>
        <translation>正在停机：%1</translation>
    </message>
    <message>
        <source>Ended: %1</source>
        <translation>已结束：%1</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>Readiness</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>P0.04 = 2 (serial line), P0.01 = 3 (serial line)</source>
        <translation>P0.04 = 2（串行通讯），P0.01 = 3（串行通讯）</translation>
    </message>
    <message>
        <source>P0.04 = %1, P0.01 = %2</source>
        <translation>P0.04 = %1，P0.01 = %2</translation>
    </message>
    <message>
        <source>the drive will ignore the line (%1)</source>
        <translation>变频器将忽略线路（%1）</translation>
    </message>
    <message>
        <source>Frequency reached (%1)</source>
        <translation>频率到达（%1）</translation>
    </message>
    <message>
        <source>%1 ± %2 within %3 to %4 (P0.14 = %5)</source>
        <translation>%1 ± %2，在 %3 至 %4 内（P0.14 = %5）</translation>
    </message>
    <message>
        <source>%1 ± %2 within %3 to %4 (P0.14 = %5, P0.15 = %6 from the forward run)</source>
        <translation>%1 ± %2，在 %3 至 %4 内（P0.14 = %5，P0.15 = %6，取自正转运行）</translation>
    </message>
    <message>
        <source>not run: the run had ended</source>
        <translation>未运行：运行已结束</translation>
    </message>
    <message>
        <source>not reached (highest %1)</source>
        <translation>未达到（最高 %1）</translation>
    </message>
    <message>
        <source>%1 %2 not reached, highest %3</source>
        <translation>%1 %2 未达到，最高 %3</translation>
    </message>
    <message>
        <source>%1 after %2</source>
        <translation>%2 后达到 %1</translation>
    </message>
    <message>
        <source>%1 %2 reached after %3, expected within %4 to %5</source>
        <translation>%1 %2 在 %3 后达到，应在 %4 至 %5 内</translation>
    </message>
    <message>
        <source>Direction (%1)</source>
        <translation>方向（%1）</translation>
    </message>
    <message>
        <source>the drive reports %1 at the set frequency</source>
        <translation>变频器在设定频率下报告%1</translation>
    </message>
    <message>
        <source>%1 reported</source>
        <translation>报告%1</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>未达到</translation>
    </message>
    <message>
        <source>run %1, the drive reported %2</source>
        <translation>以%1运行，变频器报告%2</translation>
    </message>
    <message>
        <source>%1 %2 not reached</source>
        <translation>%1 %2 未达到</translation>
    </message>
    <message>
        <source>Held (%1)</source>
        <translation>保持（%1）</translation>
    </message>
    <message>
        <source>%1 held for %2</source>
        <translation>%1 保持 %2</translation>
    </message>
    <message>
        <source>held %1</source>
        <translation>保持了 %1</translation>
    </message>
    <message>
        <source>held %1 of %2: the run ended first</source>
        <translation>保持了 %1（共 %2）：运行先结束了</translation>
    </message>
    <message>
        <source>%1 %2 held %3 of %4</source>
        <translation>%1 %2 保持了 %3（应为 %4）</translation>
    </message>
    <message>
        <source>%1 %2 not reached, so not held</source>
        <translation>%1 %2 未达到，因此未保持</translation>
    </message>
    <message>
        <source>No trip</source>
        <translation>无跳闸</translation>
    </message>
    <message>
        <source>no fault during the run</source>
        <translation>运行期间无故障</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%2 时 %1</translation>
    </message>
    <message>
        <source>tripped: %1</source>
        <translation>跳闸：%1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Limit %1</source>
        <translation>限值 %1</translation>
    </message>
    <message>
        <source>every sample of the run</source>
        <translation>运行中的每个采样</translation>
    </message>
    <message>
        <source>every sample at the set frequency</source>
        <translation>设定频率下的每个采样</translation>
    </message>
    <message>
        <source>no sample</source>
        <translation>无采样</translation>
    </message>
    <message>
        <source>no sample of %1 to check its limit</source>
        <translation>没有 %1 的采样可用于检查限值</translation>
    </message>
    <message>
        <source>highest %1</source>
        <translation>最高 %1</translation>
    </message>
    <message>
        <source>lowest %1</source>
        <translation>最低 %1</translation>
    </message>
    <message>
        <source>%1 peaked at %2, limit %3</source>
        <translation>%1 峰值达到 %2，限值 %3</translation>
    </message>
    <message>
        <source>%1 fell to %2, limit %3</source>
        <translation>%1 降至 %2，限值 %3</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>STOP not answered</source>
        <translation>停机命令无应答</translation>
    </message>
    <message>
        <source>STOP answered</source>
        <translation>停机命令已应答</translation>
    </message>
    <message>
        <source>STOP answered; still coasting down, %1 at the last sample</source>
        <translation>停机命令已应答；仍在减速，最后一个采样为 %1</translation>
    </message>
    <message>
        <source>the drive answers STOP</source>
        <translation>变频器应答停机命令</translation>
    </message>
    <message>
        <source>the drive did not answer STOP</source>
        <translation>变频器未应答停机命令</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no limit; write it as KEY&lt;NUMBER or KEY&gt;NUMBER, for example current&lt;4.5</source>
        <translation>“%1”不是限值；请写成 KEY&lt;NUMBER 或 KEY&gt;NUMBER，例如 current&lt;4.5</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no running value; the keys are those of record</source>
        <translation>“%1”不是运行数据的名称；可用的键与 record 的相同</translation>
    </message>
    <message>
        <source>&quot;%1&quot; in &quot;%2&quot; is not a number</source>
        <translation>“%2”中的“%1”不是数字</translation>
    </message>
    <message>
        <source>it holds no test run (no drive address or no checks)</source>
        <translation>其中没有试运行结果（无变频器地址或无检查项）</translation>
    </message>
    <message>
        <source>a sample at %1 s holds %2 values for %3 keys</source>
        <translation>%1 s 处的采样有 %2 个数值，对应 %3 个键</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>未通过</translation>
    </message>
    <message>
        <source>NOT REACHED</source>
        <translation>未达到</translation>
    </message>
    <message>
        <source>Accelerating forward to %1</source>
        <translation>正在正转加速到 %1</translation>
    </message>
    <message>
        <source>Accelerating in reverse to %1</source>
        <translation>正在反转加速到 %1</translation>
    </message>
    <message>
        <source>Holding %1 forward</source>
        <translation>正转保持 %1</translation>
    </message>
    <message>
        <source>Holding %1 in reverse</source>
        <translation>反转保持 %1</translation>
    </message>
</context>
</TS>
