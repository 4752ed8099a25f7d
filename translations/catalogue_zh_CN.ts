<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CatalogueFaults</name>
    <message>
        <source>Fault %1</source>
        <translation>故障 %1</translation>
    </message>
    <message>
        <source>OC-1:Overcurrent during acceleration</source>
        <translation>OC-1:加速运行过电流</translation>
    </message>
    <message>
        <source>OC-2:Overcurrent during deceleration</source>
        <translation>OC-2:减速运行过电流</translation>
    </message>
    <message>
        <source>OC-3:Overcurrent during Constant speed</source>
        <translation>OC-3:恒速运行过电流</translation>
    </message>
    <message>
        <source>OU-1:Overvoltage during acceleration</source>
        <translation>OU-1:加速运行过电压</translation>
    </message>
    <message>
        <source>OU-2:Overvoltage during deceleration</source>
        <translation>OU-2:减速运行过电压</translation>
    </message>
    <message>
        <source>OU-3:Overvoltage during Constant speed</source>
        <translation>OU-3:恒速运行过电压</translation>
    </message>
    <message>
        <source>OU-4:Overvoltage while stop</source>
        <translation>OU-4:停机时过电压</translation>
    </message>
    <message>
        <source>LU:Undervoltage while running</source>
        <translation>LU:运行中欠电压</translation>
    </message>
    <message>
        <source>LP:Phase in input side</source>
        <translation>LP:输入侧缺相</translation>
    </message>
    <message>
        <source>SC:Power Modules error</source>
        <translation>SC:功率模块故障</translation>
    </message>
    <message>
        <source>OH:Radiator overheating</source>
        <translation>OH:散热器过热</translation>
    </message>
    <message>
        <source>OL-1:Inverter overload</source>
        <translation>OL-1:变频器过载</translation>
    </message>
    <message>
        <source>OL-2:Motor overload</source>
        <translation>OL-2:电机过载</translation>
    </message>
    <message>
        <source>EF:External equipment failure</source>
        <translation>EF:外部设备故障</translation>
    </message>
    <message>
        <source>CE-1:Serial communication error</source>
        <translation>CE-1:串行通讯故障</translation>
    </message>
    <message>
        <source>CE-2:reserved</source>
        <translation>CE-2:保留</translation>
    </message>
    <message>
        <source>CE-3:Current Detection Error</source>
        <translation>CE-3:电流检测故障</translation>
    </message>
    <message>
        <source>CE-4:Keyboard communication failure</source>
        <translation>CE-4:键盘通讯故障</translation>
    </message>
    <message>
        <source>CPU:CPU：CPU failure</source>
        <translation>CPU:CPU：CPU故障</translation>
    </message>
</context>
<context>
    <name>CatalogueGroups</name>
    <message>
        <source>Basic Parameter</source>
        <translation>基本运行参数</translation>
    </message>
    <message>
        <source>Moter and Vector Control Parameter</source>
        <translation>电机与矢量控制参数</translation>
    </message>
    <message>
        <source>Auxiliary Parameter</source>
        <translation>辅助运行参数</translation>
    </message>
    <message>
        <source>User Management Interface Parameter</source>
        <translation>用户管理界面参数</translation>
    </message>
    <message>
        <source>Digital Input And OutputParameter</source>
        <translation>数字输入输出参数</translation>
    </message>
    <message>
        <source>Analog Input And Output Parameter</source>
        <translation>模拟输入输出参数</translation>
    </message>
    <message>
        <source>Process PID Control Parameter</source>
        <translation>过程PID控制参数</translation>
    </message>
    <message>
        <source>Programmable Run Parameter</source>
        <translation>可编程运行参数</translation>
    </message>
    <message>
        <source>User  Manage Interface Parameter</source>
        <translation>通讯及用户管理接口参数</translation>
    </message>
    <message>
        <source>Protection Function</source>
        <translation>保护功能参数</translation>
    </message>
    <message>
        <source>Advanced Function Parameter</source>
        <translation>高级功能参数</translation>
    </message>
</context>
<context>
    <name>CatalogueOptions</name>
    <message>
        <source>Open-loop vector Open-loop vector control</source>
        <translation>开环矢量控制</translation>
    </message>
    <message>
        <source>V/F control</source>
        <translation>V/F控制</translation>
    </message>
    <message>
        <source>Set by the operating panel potentiometer</source>
        <translation>操作面板电位器设定</translation>
    </message>
    <message>
        <source>Figures given 1,operating panel▲/▼ button or Digital encoder settings</source>
        <translation>数字给定1，操作面板▲/▼键或数字编码器设定</translation>
    </message>
    <message>
        <source>Figures given 2,Pin UP/DOWN setting</source>
        <translation>数字给定2，端子UP/DOWN设定</translation>
    </message>
    <message>
        <source>Figures given 3,485Serial Communication Settings</source>
        <translation>数字给定3，485串行通讯设定</translation>
    </message>
    <message>
        <source>AVI Analog reference(0--10V)</source>
        <translation>AVI模拟给定(0--10V)</translation>
    </message>
    <message>
        <source>ACI Analog reference(0--20mA)</source>
        <translation>ACI模拟给定(0--20mA)</translation>
    </message>
    <message>
        <source>Pulse for a given terminal(0--10KHz)</source>
        <translation>端子脉冲给定(0--10KHz)</translation>
    </message>
    <message>
        <source>Combination Setting</source>
        <translation>组合设定</translation>
    </message>
    <message>
        <source>Select the external terminal</source>
        <translation>外部端子选择</translation>
    </message>
    <message>
        <source>Controlled By the operating panel RUN/STOP Button</source>
        <translation>操作面板RUN/STOP键控制</translation>
    </message>
    <message>
        <source>Controlled by the external control terminal</source>
        <translation>外部控制端子控制</translation>
    </message>
    <message>
        <source>485 serial communication control by the</source>
        <translation>485串行通讯控制</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>Reverse</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>Prohibit reverse</source>
        <translation>禁止反转</translation>
    </message>
    <message>
        <source>G type</source>
        <translation>G型机</translation>
    </message>
    <message>
        <source>P type</source>
        <translation>P型机</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Constant Torque</source>
        <translation>恒转矩曲线</translation>
    </message>
    <message>
        <source>Torque down curve1</source>
        <translation>降转矩曲线1</translation>
    </message>
    <message>
        <source>Torque down curve2</source>
        <translation>降转矩曲线2</translation>
    </message>
    <message>
        <source>V/F curve settde  by user (determined by the P0.17--P0.22)</source>
        <translation>用户设定V/F曲线（由P0.17--P0.22确定）</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>JOG</source>
        <translation>点动</translation>
    </message>
    <message>
        <source>LED 1:SAVE WHILE Power Down 0:SAVE 1:NOT SAVE LED 2:SAVE WHILE Power Down 0:KEEP 1:NOT KEEP LED 3/4:Reservation (only P0.01=1,2,3) </source>
        <translation>LED 1:掉电存储 0:存储 1:不存储 LED 2:停机保持 0:保持 1:不保持 LED 3/4:保留（仅P0.01=1,2,3时有效） </translation>
    </message>
    <message>
        <source>0.00Hz--Max Fre</source>
        <translation>0.00Hz--最大频率</translation>
    </message>
    <message>
        <source>lower freq.--400.00Hz</source>
        <translation>下限频率--400.00Hz</translation>
    </message>
    <message>
        <source>0.00Hz--maximal freq.</source>
        <translation>0.00Hz--最大频率</translation>
    </message>
    <message>
        <source>1.00Hz--freq.</source>
        <translation>1.00Hz--最大频率</translation>
    </message>
    <message>
        <source>0.0--30.0%,(only F0.11=0)</source>
        <translation>0.0--30.0%，（仅F0.11=0时有效）</translation>
    </message>
    <message>
        <source>0.1--3600,(The default unit is seconds,acceleration time unit to see P3.09)</source>
        <translation>0.1--3600，（默认单位为秒，加减速时间单位见P3.09）</translation>
    </message>
    <message>
        <source>0.000--Frequency F2</source>
        <translation>0.000--频率F2</translation>
    </message>
    <message>
        <source>0.0--Voltage V2</source>
        <translation>0.0--电压V2</translation>
    </message>
    <message>
        <source>Frequency F1--Frequency F3</source>
        <translation>频率F1--频率F3</translation>
    </message>
    <message>
        <source>Voltage V1--Voltage V3</source>
        <translation>电压V1--电压V3</translation>
    </message>
    <message>
        <source>Frequency F2--Basic running frequency</source>
        <translation>频率F2--基本运行频率</translation>
    </message>
    <message>
        <source>Voltage V2--100%</source>
        <translation>电压V2--100%</translation>
    </message>
    <message>
        <source>Conditions of effective</source>
        <translation>条件有效</translation>
    </message>
    <message>
        <source>alway effective</source>
        <translation>一直有效</translation>
    </message>
    <message>
        <source>not work</source>
        <translation>不动作</translation>
    </message>
    <message>
        <source>Static self-learning (only P0.00=0)</source>
        <translation>静态自学习（仅P0.00=0时有效）</translation>
    </message>
    <message>
        <source>Start with start Frequency</source>
        <translation>从启动频率启动</translation>
    </message>
    <message>
        <source>Start with tracking speed</source>
        <translation>转速跟踪启动</translation>
    </message>
    <message>
        <source>DC brake unit don&apos;t work</source>
        <translation>直流制动不动作</translation>
    </message>
    <message>
        <source>Linear acceleration and deceleration</source>
        <translation>直线加减速</translation>
    </message>
    <message>
        <source>S Curve acceleration and deceleration</source>
        <translation>S曲线加减速</translation>
    </message>
    <message>
        <source>Forbidden</source>
        <translation>禁止</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>允许</translation>
    </message>
    <message>
        <source>Slow down to stop</source>
        <translation>减速停机</translation>
    </message>
    <message>
        <source>Free to stop</source>
        <translation>自由停机</translation>
    </message>
    <message>
        <source>Start Normally</source>
        <translation>常规启动</translation>
    </message>
    <message>
        <source>Fixed carrier</source>
        <translation>固定载波</translation>
    </message>
    <message>
        <source>Automatically adjust the carrier</source>
        <translation>载波自动调整</translation>
    </message>
    <message>
        <source>0.1--3600 ,(The default unit is seconds;acceleration time unit to see P3.09.</source>
        <translation>0.1--3600 ，（默认单位为秒；加减速时间单位见P3.09。</translation>
    </message>
    <message>
        <source>0.00 to Maximal frequency</source>
        <translation>0.00--最大频率</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>No Action</source>
        <translation>无操作</translation>
    </message>
    <message>
        <source>Restore factory settings</source>
        <translation>恢复出厂设定</translation>
    </message>
    <message>
        <source>Clear fault records</source>
        <translation>清除故障记录</translation>
    </message>
    <message>
        <source>Allowed to modify all the parameters (some parameters can not be modified when running)</source>
        <translation>允许修改所有参数（运行中部分参数不可修改）</translation>
    </message>
    <message>
        <source>Only allowed to modify the frequency setting</source>
        <translation>仅允许修改频率设定</translation>
    </message>
    <message>
        <source>Prohibited to modify all parameters.(The above restrictions on the parameter is invali)</source>
        <translation>禁止修改所有参数。（本参数不受上述限制）</translation>
    </message>
    <message>
        <source>second</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Parameter-Write Protection</source>
        <translation>参数写入保护</translation>
    </message>
    <message>
        <source>Reserved</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>0:no Function</source>
        <translation>0:无功能</translation>
    </message>
    <message>
        <source>1:Multi-speed selection 1</source>
        <translation>1:多段速选择1</translation>
    </message>
    <message>
        <source>2:Multi-speed selection 2</source>
        <translation>2:多段速选择2</translation>
    </message>
    <message>
        <source>3:Multi-speed selection 3</source>
        <translation>3:多段速选择3</translation>
    </message>
    <message>
        <source>4:Acceleration and deceleration time selection 1</source>
        <translation>4:加减速时间选择1</translation>
    </message>
    <message>
        <source>5:Acceleration and deceleration time selection 2</source>
        <translation>5:加减速时间选择2</translation>
    </message>
    <message>
        <source>6:Frequency channel selection 1</source>
        <translation>6:频率通道选择1</translation>
    </message>
    <message>
        <source>7:Frequency channel selection 2</source>
        <translation>7:频率通道选择2</translation>
    </message>
    <message>
        <source>8:Frequency channel selection 3</source>
        <translation>8:频率通道选择3</translation>
    </message>
    <message>
        <source>9:Forward jog control</source>
        <translation>9:正转点动控制</translation>
    </message>
    <message>
        <source>10:Reverse jog control</source>
        <translation>10:反转点动控制</translation>
    </message>
    <message>
        <source>11:free-Stop control</source>
        <translation>11:自由停机控制</translation>
    </message>
    <message>
        <source>12:Frequency increment / UP command</source>
        <translation>12:频率递增/UP指令</translation>
    </message>
    <message>
        <source>13:Frequency decreasing / DOWN command</source>
        <translation>13:频率递减/DOWN指令</translation>
    </message>
    <message>
        <source>14:Input an external equipment failure</source>
        <translation>14:外部设备故障输入</translation>
    </message>
    <message>
        <source>15:Three-wire operation control</source>
        <translation>15:三线式运转控制</translation>
    </message>
    <message>
        <source>16:DC braking command</source>
        <translation>16:直流制动指令</translation>
    </message>
    <message>
        <source>17:Counter clear signal input</source>
        <translation>17:计数器清零信号输入</translation>
    </message>
    <message>
        <source>18:Counter Pulse Inpu (only for X6)</source>
        <translation>18:计数器脉冲输入（仅X6）</translation>
    </message>
    <message>
        <source>19:External pulse input (only for X6)</source>
        <translation>19:外部脉冲输入（仅X6）</translation>
    </message>
    <message>
        <source>20:External reset signal input</source>
        <translation>20:外部复位信号输入</translation>
    </message>
    <message>
        <source>21:UP/DOWN Frequency Clear</source>
        <translation>21:UP/DOWN频率清零</translation>
    </message>
    <message>
        <source>22:run PID</source>
        <translation>22:PID运行</translation>
    </message>
    <message>
        <source>23:Programmable multi-speed operation rnn</source>
        <translation>23:可编程多段速运行</translation>
    </message>
    <message>
        <source>24:Pendulum frequency Run</source>
        <translation>24:摆频运行</translation>
    </message>
    <message>
        <source>25:Pendulum frequency reset</source>
        <translation>25:摆频复位</translation>
    </message>
    <message>
        <source>26:External stop command</source>
        <translation>26:外部停机指令</translation>
    </message>
    <message>
        <source>27:prohibit run command</source>
        <translation>27:禁止运行指令</translation>
    </message>
    <message>
        <source>28:Deceleration prohibited command (reserved)</source>
        <translation>28:禁止减速指令（保留）</translation>
    </message>
    <message>
        <source>29:Command channel setted to the terminals</source>
        <translation>29:命令通道切换至端子</translation>
    </message>
    <message>
        <source>30:frequency setting setted to VCI</source>
        <translation>30:频率设定切换至VCI</translation>
    </message>
    <message>
        <source>31:Timer start</source>
        <translation>31:定时器启动</translation>
    </message>
    <message>
        <source>32:Timer clear</source>
        <translation>32:定时器清零</translation>
    </message>
    <message>
        <source>Two-wire control mode 1</source>
        <translation>两线式控制模式1</translation>
    </message>
    <message>
        <source>Two-wire control mode 2</source>
        <translation>两线式控制模式2</translation>
    </message>
    <message>
        <source>Three-wire control mode 1</source>
        <translation>三线式控制模式1</translation>
    </message>
    <message>
        <source>Three-wire control mode 2 (reserved)</source>
        <translation>三线式控制模式2（保留）</translation>
    </message>
    <message>
        <source>Inverter running instructions</source>
        <translation>变频器运行中指示</translation>
    </message>
    <message>
        <source>Frequency / speed reach signal (FAR)</source>
        <translation>频率/速度到达信号(FAR)</translation>
    </message>
    <message>
        <source>Frequency / speed level detection signal (DFT)</source>
        <translation>频率/速度水平检测信号(DFT)</translation>
    </message>
    <message>
        <source>Inverter runnig with zero speed direction</source>
        <translation>变频器零速运行中</translation>
    </message>
    <message>
        <source>stop because of External equipment error</source>
        <translation>外部设备故障停机</translation>
    </message>
    <message>
        <source>Output frequency reaches the upper limit</source>
        <translation>输出频率到达上限</translation>
    </message>
    <message>
        <source>Output frequency reaches the lower limit</source>
        <translation>输出频率到达下限</translation>
    </message>
    <message>
        <source>a cycle of Programmable multi-speed running is completed</source>
        <translation>可编程多段速运行一个周期完成</translation>
    </message>
    <message>
        <source>Overload alarm signal of the Inverter</source>
        <translation>变频器过载报警信号</translation>
    </message>
    <message>
        <source>Inverter is ready to run</source>
        <translation>变频器运行准备就绪</translation>
    </message>
    <message>
        <source>Detection signal output of the counter</source>
        <translation>计数器检测信号输出</translation>
    </message>
    <message>
        <source>Counter reset signal output</source>
        <translation>计数器复位信号输出</translation>
    </message>
    <message>
        <source>Inverter error</source>
        <translation>变频器故障</translation>
    </message>
    <message>
        <source>stop because of undervoltage lockout</source>
        <translation>欠压封锁停机</translation>
    </message>
    <message>
        <source>Pendulum frequency Upper and lower limits</source>
        <translation>摆频上下限限制</translation>
    </message>
    <message>
        <source>Programmable multi-speed running completed</source>
        <translation>可编程多段速运行完成</translation>
    </message>
    <message>
        <source>reserved</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>Timing pulse output</source>
        <translation>定时脉冲输出</translation>
    </message>
    <message>
        <source>0.00Hz to Max freq.</source>
        <translation>0.00Hz--最大频率</translation>
    </message>
    <message>
        <source>the checking value of the counter to 60000</source>
        <translation>计数器检测值--60000</translation>
    </message>
    <message>
        <source>0 to Counter reset value</source>
        <translation>0--计数器复位值</translation>
    </message>
    <message>
        <source>0:running frequency</source>
        <translation>0:运行频率</translation>
    </message>
    <message>
        <source>1:Setting frequency</source>
        <translation>1:设定频率</translation>
    </message>
    <message>
        <source>2:Output Current</source>
        <translation>2:输出电流</translation>
    </message>
    <message>
        <source>3:Motor speed</source>
        <translation>3:电机转速</translation>
    </message>
    <message>
        <source>4:Output Voltage</source>
        <translation>4:输出电压</translation>
    </message>
    <message>
        <source>5:Bus voltage</source>
        <translation>5:母线电压</translation>
    </message>
    <message>
        <source>6:PID value Settings</source>
        <translation>6:PID设定值</translation>
    </message>
    <message>
        <source>7:PID feedback value</source>
        <translation>7:PID反馈值</translation>
    </message>
    <message>
        <source>0.0V--AVI Input upper voltage</source>
        <translation>0.0V--AVI输入上限电压</translation>
    </message>
    <message>
        <source>AVI Input lower voltage--10.0V</source>
        <translation>AVI输入下限电压--10.0V</translation>
    </message>
    <message>
        <source>0.0mA--ACI Input upper current</source>
        <translation>0.0mA--ACI输入上限电流</translation>
    </message>
    <message>
        <source>ACI Input lower current--20.0mA</source>
        <translation>ACI输入下限电流--20.0mA</translation>
    </message>
    <message>
        <source>0.0--upper frequency of pulse input</source>
        <translation>0.0--脉冲输入上限频率</translation>
    </message>
    <message>
        <source>lower frequency of pulse input--10.0KHz</source>
        <translation>脉冲输入下限频率--10.0KHz</translation>
    </message>
    <message>
        <source>0.00Hz--upper frequency </source>
        <translation>0.00Hz--上限频率 </translation>
    </message>
    <message>
        <source>20--200%(Rated value 10KHz)</source>
        <translation>20--200%（额定值10KHz）</translation>
    </message>
    <message>
        <source>LED1:Operand 1 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED2:Operand 2 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED3:Operand 3 0:Keypad potentiometer 1:Given by Figures1 2:reserved 3:Given by Communication 4:AVI  5:ACI 6:Pulse of terminals LED4:reserved </source>
        <translation>LED1:操作数1 0:键盘电位器 1:数字给定1 2:保留 3:通讯给定 4:AVI  5:ACI 6:端子脉冲 LED2:操作数2 0:键盘电位器 1:数字给定1 2:保留 3:通讯给定 4:AVI  5:ACI 6:端子脉冲 LED3:操作数3 0:键盘电位器 1:数字给定1 2:保留 3:通讯给定 4:AVI  5:ACI 6:端子脉冲 LED4:保留 </translation>
    </message>
    <message>
        <source> LED1:Algorithm 1 0:add 1:minus 2:Absolute valu(minus) 3:the greater one 4:the smaller one LED2:Algorithm 2 0:add 1:minus 2:Absolute valu(minus) 3:the greater one 4:the smaller one 5:Operand 3 is not involved in operations LED3/4:reserved note:These two parameters is valid only when F0.01=7</source>
        <translation> LED1:运算1 0:加 1:减 2:绝对值（减） 3:取大 4:取小 LED2:运算2 0:加 1:减 2:绝对值（减） 3:取大 4:取小 5:操作数3不参与运算 LED3/4:保留 注：这两个参数仅在F0.01=7时有效</translation>
    </message>
    <message>
        <source>Keypad potentiometer</source>
        <translation>键盘电位器</translation>
    </message>
    <message>
        <source>Figures given</source>
        <translation>数字给定</translation>
    </message>
    <message>
        <source>Pulse terminals</source>
        <translation>端子脉冲</translation>
    </message>
    <message>
        <source>0：Positive</source>
        <translation>0：正特性</translation>
    </message>
    <message>
        <source>1：Negative</source>
        <translation>1：负特性</translation>
    </message>
    <message>
        <source>0.0：no Differential</source>
        <translation>0.0：无微分</translation>
    </message>
    <message>
        <source>0.00：Auto</source>
        <translation>0.00：自动</translation>
    </message>
    <message>
        <source>LED1：Feature set 0：close 1：open LED2：PID RUN SELECT 0：AUTO RUN 1：By the defining multi-function input terminals LED3/4：reserved</source>
        <translation>LED1：功能设定 0：关闭 1：打开 LED2：PID运行选择 0：自动运行 1：由定义的多功能输入端子 LED3/4：保留</translation>
    </message>
    <message>
        <source>0.00--Max freq.</source>
        <translation>0.00--最大频率</translation>
    </message>
    <message>
        <source>  LED 1:PLC run mode Select 0:no 1:Round robin 2:Continuous cycle 3:To keep the final value after single cycle 4:Pendulum frequency Run LED 2:PLC run mode Select 0:auto run  1:By the defining multi-function input terminals LED 3:Pendulum frequency run mode Select 0:auto run  1:By the defining multi-function input terminals LED 4: reserved &quot;</source>
        <translation>  LED 1:PLC运行方式选择 0:不动作 1:单循环 2:连续循环 3:单循环后保持最终值 4:摆频运行 LED 2:PLC运行方式选择 0:自动运行  1:由定义的多功能输入端子 LED 3:摆频运行方式选择 0:自动运行  1:由定义的多功能输入端子 LED 4: 保留 &quot;</translation>
    </message>
    <message>
        <source>  LED1:Direction of Stage 1 0:forward 1:backwards LED2:Direction of Stage 2 0:forward 1:backwards LED3:Direction of Stage 3 0:forward 1:backwards LED4:Direction of Stage 4 0:forward 1:backwards </source>
        <translation>  LED1:第1段方向 0:正转 1:反转 LED2:第2段方向 0:正转 1:反转 LED3:第3段方向 0:正转 1:反转 LED4:第4段方向 0:正转 1:反转 </translation>
    </message>
    <message>
        <source>  LED1:Direction of Stage 1 0:forward 1:backwards LED2:Direction of Stage 1 0:forward 1:backwards LED3:Direction of Stage 1 0:forward 1:backwards LED4:reserved &quot;</source>
        <translation>  LED1:第1段方向 0:正转 1:反转 LED2:第1段方向 0:正转 1:反转 LED3:第1段方向 0:正转 1:反转 LED4:保留 &quot;</translation>
    </message>
    <message>
        <source> LED1:reserved LED2:Swing control 0:Fixed swing 1:Variable frequency pendulum LED3:Pendulum frequency start mode selection  0:start with the record state before stop 1:restart LED4:storage state of the pendulum frequency  0:yes 1:no</source>
        <translation> LED1:保留 LED2:摆幅控制 0:固定摆幅 1:变摆幅 LED3:摆频启动方式选择  0:按停机前记忆的状态启动 1:重新启动 LED4:摆频状态存储  0:存储 1:不存储</translation>
    </message>
    <message>
        <source>0.00Hz--max freq.</source>
        <translation>0.00Hz--最大频率</translation>
    </message>
    <message>
        <source>0.00Hz～max freq.</source>
        <translation>0.00Hz～最大频率</translation>
    </message>
    <message>
        <source>0:Main engine</source>
        <translation>0:主机</translation>
    </message>
    <message>
        <source>1--31:Slave engine</source>
        <translation>1--31:从机</translation>
    </message>
    <message>
        <source> LED 1:Baud Rate Selection 0:1200BPS 1:2400BPS 2:4800BPS 3:9600BPS 4:19200BPS 5:38400BPS LED 2:Data Format  0:NONE  1:Odd 2:Even LED 3:Action Selection after communication failure 0:stop 1:keep LED 4: reserved </source>
        <translation> LED 1:波特率选择 0:1200BPS 1:2400BPS 2:4800BPS 3:9600BPS 4:19200BPS 5:38400BPS LED 2:数据格式  0:无校验  1:奇校验 2:偶校验 LED 3:通讯失败后动作选择 0:停机 1:保持 LED 4: 保留 </translation>
    </message>
    <message>
        <source>Auto Run</source>
        <translation>自动运行</translation>
    </message>
    <message>
        <source>Run After Power On</source>
        <translation>上电运行</translation>
    </message>
</context>
<context>
    <name>CatalogueParams</name>
    <message>
        <source>control model setting</source>
        <translation>控制方式设定</translation>
    </message>
    <message>
        <source>frequency input channel setection</source>
        <translation>频率输入通道选择</translation>
    </message>
    <message>
        <source>Freq.digit setting</source>
        <translation>频率数字设定</translation>
    </message>
    <message>
        <source>Run Frequency setting</source>
        <translation>运行频率设定</translation>
    </message>
    <message>
        <source>Running command selection</source>
        <translation>运行命令选择</translation>
    </message>
    <message>
        <source>Motor rotation direction selection</source>
        <translation>电机转向选择</translation>
    </message>
    <message>
        <source>upper limit freq.</source>
        <translation>上限频率</translation>
    </message>
    <message>
        <source>lower limit freq.</source>
        <translation>下限频率</translation>
    </message>
    <message>
        <source>baisc run freq.</source>
        <translation>基本运行频率</translation>
    </message>
    <message>
        <source>max output voltage</source>
        <translation>最大输出电压</translation>
    </message>
    <message>
        <source>model setting</source>
        <translation>机型设定</translation>
    </message>
    <message>
        <source>Torque boost selection</source>
        <translation>转矩提升选择</translation>
    </message>
    <message>
        <source>Torque boost setting</source>
        <translation>转矩提升设定</translation>
    </message>
    <message>
        <source>Slip frequency compensation</source>
        <translation>转差频率补偿</translation>
    </message>
    <message>
        <source>Acceleration time 1</source>
        <translation>加速时间1</translation>
    </message>
    <message>
        <source>Decelertation time 1</source>
        <translation>减速时间1</translation>
    </message>
    <message>
        <source>V/F curve setting</source>
        <translation>V/F曲线设定</translation>
    </message>
    <message>
        <source>V/F freq. F1</source>
        <translation>V/F频率F1</translation>
    </message>
    <message>
        <source>V/F voltage V1</source>
        <translation>V/F电压V1</translation>
    </message>
    <message>
        <source>V/F  freq. 2</source>
        <translation>V/F频率F2</translation>
    </message>
    <message>
        <source>V/F voltage V2</source>
        <translation>V/F电压V2</translation>
    </message>
    <message>
        <source>V/F freq. F3</source>
        <translation>V/F频率F3</translation>
    </message>
    <message>
        <source>V/F voltage V3</source>
        <translation>V/F电压V3</translation>
    </message>
    <message>
        <source>REV/JOG function setting</source>
        <translation>REV/JOG功能设定</translation>
    </message>
    <message>
        <source>load motor rated voltage</source>
        <translation>负载电机额定电压</translation>
    </message>
    <message>
        <source>load motor rated current</source>
        <translation>负载电机额定电流</translation>
    </message>
    <message>
        <source>load motor rated speed</source>
        <translation>负载电机额定转速</translation>
    </message>
    <message>
        <source>load motor rated frequency</source>
        <translation>负载电机额定频率</translation>
    </message>
    <message>
        <source>Motor load current</source>
        <translation>电机空载电流</translation>
    </message>
    <message>
        <source>Stator resistance</source>
        <translation>定子电阻</translation>
    </message>
    <message>
        <source>Motor rotor resistance</source>
        <translation>电机转子电阻</translation>
    </message>
    <message>
        <source>Motor stator and rotor inductance</source>
        <translation>电机定转子电感</translation>
    </message>
    <message>
        <source>Motor stator and rotor mutual inductance</source>
        <translation>电机定转子互感</translation>
    </message>
    <message>
        <source>reserved</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>Slip compensation factor</source>
        <translation>转差补偿系数</translation>
    </message>
    <message>
        <source>Motor Pre-excitation selection</source>
        <translation>电机预励磁选择</translation>
    </message>
    <message>
        <source>The duration of pre-excitation motor</source>
        <translation>电机预励磁持续时间</translation>
    </message>
    <message>
        <source>Motor parameters self-learning</source>
        <translation>电机参数自学习</translation>
    </message>
    <message>
        <source>Speed loop (ASR) proportional gain</source>
        <translation>速度环(ASR)比例增益</translation>
    </message>
    <message>
        <source>Speed loop (ASR) integral time</source>
        <translation>速度环(ASR)积分时间</translation>
    </message>
    <message>
        <source>starting way</source>
        <translation>启动方式</translation>
    </message>
    <message>
        <source>stating freq.</source>
        <translation>启动频率</translation>
    </message>
    <message>
        <source>start freq.duration</source>
        <translation>启动频率保持时间</translation>
    </message>
    <message>
        <source>DC braking current when start</source>
        <translation>启动直流制动电流</translation>
    </message>
    <message>
        <source>Start DC braking time</source>
        <translation>启动直流制动时间</translation>
    </message>
    <message>
        <source>Acceleration and deceleration mode selection</source>
        <translation>加减速方式选择</translation>
    </message>
    <message>
        <source>the Starting ratio of  S curve</source>
        <translation>S曲线起始段比例</translation>
    </message>
    <message>
        <source>S Curves rise / fall time scale</source>
        <translation>S曲线上升/下降段时间比例</translation>
    </message>
    <message>
        <source>AVR function</source>
        <translation>AVR功能</translation>
    </message>
    <message>
        <source>Automatic energy-save run</source>
        <translation>自动节能运行</translation>
    </message>
    <message>
        <source>FWD/REV dead time</source>
        <translation>正反转死区时间</translation>
    </message>
    <message>
        <source>stop mode</source>
        <translation>停机方式</translation>
    </message>
    <message>
        <source>DC brake starting freq.at stoping</source>
        <translation>停机直流制动起始频率</translation>
    </message>
    <message>
        <source>DC brake current at stop</source>
        <translation>停机直流制动电流</translation>
    </message>
    <message>
        <source>DC brake time when stop</source>
        <translation>停机直流制动时间</translation>
    </message>
    <message>
        <source>Power-off restart setting</source>
        <translation>掉电再启动设定</translation>
    </message>
    <message>
        <source>Power-off warting time before restarting</source>
        <translation>掉电再启动等待时间</translation>
    </message>
    <message>
        <source>Failure self-reset times</source>
        <translation>故障自复位次数</translation>
    </message>
    <message>
        <source>Failure self-reset interval</source>
        <translation>故障自复位间隔时间</translation>
    </message>
    <message>
        <source>Jog run frequence</source>
        <translation>点动运行频率</translation>
    </message>
    <message>
        <source>Jog Acc. time</source>
        <translation>点动加速时间</translation>
    </message>
    <message>
        <source>Jog Dec time</source>
        <translation>点动减速时间</translation>
    </message>
    <message>
        <source>Acceleration time 2</source>
        <translation>加速时间2</translation>
    </message>
    <message>
        <source>Decelertation time 2</source>
        <translation>减速时间2</translation>
    </message>
    <message>
        <source>Acceleration time 3</source>
        <translation>加速时间3</translation>
    </message>
    <message>
        <source>Decelertation time 3</source>
        <translation>减速时间3</translation>
    </message>
    <message>
        <source>Acceleration time 4</source>
        <translation>加速时间4</translation>
    </message>
    <message>
        <source>Decelertation time 4</source>
        <translation>减速时间4</translation>
    </message>
    <message>
        <source>Section 1 output freq.</source>
        <translation>多段速频率1</translation>
    </message>
    <message>
        <source>Section 2 output freq.</source>
        <translation>多段速频率2</translation>
    </message>
    <message>
        <source>Section 3 output freq.</source>
        <translation>多段速频率3</translation>
    </message>
    <message>
        <source>Section 4 output freq.</source>
        <translation>多段速频率4</translation>
    </message>
    <message>
        <source>Section 5 output freq.</source>
        <translation>多段速频率5</translation>
    </message>
    <message>
        <source>Section 6 output freq.</source>
        <translation>多段速频率6</translation>
    </message>
    <message>
        <source>Section 7 output freq.</source>
        <translation>多段速频率7</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 1</source>
        <translation>跳跃频率1</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 1 bandwidth</source>
        <translation>跳跃频率1幅度</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 2</source>
        <translation>跳跃频率2</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 2 bandwidth</source>
        <translation>跳跃频率2幅度</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 3</source>
        <translation>跳跃频率3</translation>
    </message>
    <message>
        <source>Avoiding resonant frequency point 3 bandwidth</source>
        <translation>跳跃频率3幅度</translation>
    </message>
    <message>
        <source>carrier freq.adjustment</source>
        <translation>载波频率调节</translation>
    </message>
    <message>
        <source>carrier control mode</source>
        <translation>载波控制方式</translation>
    </message>
    <message>
        <source>LCD </source>
        <translation>LCD语言选择</translation>
    </message>
    <message>
        <source>Parameter initialization</source>
        <translation>参数初始化</translation>
    </message>
    <message>
        <source>Parameter Write Protection</source>
        <translation>参数写入保护</translation>
    </message>
    <message>
        <source>Monitoring Parameters 1 Setting</source>
        <translation>监视参数1设定</translation>
    </message>
    <message>
        <source>Monitoring Parameters 2 Setting</source>
        <translation>监视参数2设定</translation>
    </message>
    <message>
        <source>linear speed coefficient</source>
        <translation>线速度系数</translation>
    </message>
    <message>
        <source>close-loop display coefficient</source>
        <translation>闭环显示系数</translation>
    </message>
    <message>
        <source>sofeware edition</source>
        <translation>软件版本</translation>
    </message>
    <message>
        <source>Acceleration/Decelertation time Unit</source>
        <translation>加减速时间单位</translation>
    </message>
    <message>
        <source>input terminal X1 function</source>
        <translation>输入端子X1功能</translation>
    </message>
    <message>
        <source>input terminal X2 function</source>
        <translation>输入端子X2功能</translation>
    </message>
    <message>
        <source>input terminal X3 function</source>
        <translation>输入端子X3功能</translation>
    </message>
    <message>
        <source>input terminal X4 function</source>
        <translation>输入端子X4功能</translation>
    </message>
    <message>
        <source>input terminal X5 function</source>
        <translation>输入端子X5功能</translation>
    </message>
    <message>
        <source>input terminal X6 function</source>
        <translation>输入端子X6功能</translation>
    </message>
    <message>
        <source>FWD/REV key function selection</source>
        <translation>FWD/REV端子控制模式选择</translation>
    </message>
    <message>
        <source>Open collector output terminal Y1 setting</source>
        <translation>开路集电极输出端子Y1设定</translation>
    </message>
    <message>
        <source>Open collector output terminal Y2 setting</source>
        <translation>开路集电极输出端子Y2设定</translation>
    </message>
    <message>
        <source>Programmable relay output settings</source>
        <translation>可编程继电器输出设定</translation>
    </message>
    <message>
        <source>FDT level setting</source>
        <translation>FDT电平设定</translation>
    </message>
    <message>
        <source>FDT lag</source>
        <translation>FDT滞后值</translation>
    </message>
    <message>
        <source>Freq.checkout scope(FAR)</source>
        <translation>频率到达检出幅度(FAR)</translation>
    </message>
    <message>
        <source>Overload pre-alarm level</source>
        <translation>过载预报警水平</translation>
    </message>
    <message>
        <source>Overload pre-alarming time</source>
        <translation>过载预报警延迟时间</translation>
    </message>
    <message>
        <source>Counter reset value setting</source>
        <translation>计数器复位值设定</translation>
    </message>
    <message>
        <source>Set the value of the counter testing</source>
        <translation>计数器检测值设定</translation>
    </message>
    <message>
        <source>AVI input lower limit voltage</source>
        <translation>AVI输入下限电压</translation>
    </message>
    <message>
        <source>AVI input upper limit voltage</source>
        <translation>AVI输入上限电压</translation>
    </message>
    <message>
        <source>ACI input lower limit current</source>
        <translation>ACI输入下限电流</translation>
    </message>
    <message>
        <source>ACI input upper limit current</source>
        <translation>ACI输入上限电流</translation>
    </message>
    <message>
        <source>external pulse input lower limit frequent</source>
        <translation>外部脉冲输入下限频率</translation>
    </message>
    <message>
        <source>external pulse input upper limit frequent</source>
        <translation>外部脉冲输入上限频率</translation>
    </message>
    <message>
        <source>Set ferq. corresponding to min analog input</source>
        <translation>最小模拟输入对应设定频率</translation>
    </message>
    <message>
        <source>Delay time of analog input signal</source>
        <translation>模拟输入信号延迟时间</translation>
    </message>
    <message>
        <source>Multi-function analog output AFM</source>
        <translation>多功能模拟输出AFM</translation>
    </message>
    <message>
        <source>Multi-function digital output DFM</source>
        <translation>多功能数字输出DFM</translation>
    </message>
    <message>
        <source>AFM Gain setting</source>
        <translation>AFM增益设定</translation>
    </message>
    <message>
        <source>DFM Gain setting</source>
        <translation>DFM增益设定</translation>
    </message>
    <message>
        <source>Combination of given channel settings</source>
        <translation>给定通道组合设定</translation>
    </message>
    <message>
        <source>Given algorithm combined set</source>
        <translation>给定组合运算设定</translation>
    </message>
    <message>
        <source>PID action selection</source>
        <translation>PID动作选择</translation>
    </message>
    <message>
        <source>PID provision channel selection</source>
        <translation>PID给定通道选择</translation>
    </message>
    <message>
        <source>PID feedback channel selection</source>
        <translation>PID反馈通道选择</translation>
    </message>
    <message>
        <source>Given digital setting</source>
        <translation>给定数字设定</translation>
    </message>
    <message>
        <source>Feedback channel gain</source>
        <translation>反馈通道增益</translation>
    </message>
    <message>
        <source>Feedback Channel Polarity</source>
        <translation>反馈通道极性</translation>
    </message>
    <message>
        <source>PID proportional gain P</source>
        <translation>PID比例增益P</translation>
    </message>
    <message>
        <source>PID integral Ti</source>
        <translation>PID积分时间Ti</translation>
    </message>
    <message>
        <source>Differential time Td</source>
        <translation>微分时间Td</translation>
    </message>
    <message>
        <source>PID sampling T</source>
        <translation>PID采样周期T</translation>
    </message>
    <message>
        <source>PID deviation margin</source>
        <translation>PID偏差极限</translation>
    </message>
    <message>
        <source>Loop preset frequency</source>
        <translation>闭环预置频率</translation>
    </message>
    <message>
        <source>time of keeping preset frequency</source>
        <translation>预置频率保持时间</translation>
    </message>
    <message>
        <source>Sleep threshold</source>
        <translation>睡眠阈值</translation>
    </message>
    <message>
        <source>Wake threshold</source>
        <translation>苏醒阈值</translation>
    </message>
    <message>
        <source>Sleep/waking frequency checkout time</source>
        <translation>睡眠/苏醒检测时间</translation>
    </message>
    <message>
        <source>Programmable muli-speed running setting</source>
        <translation>可编程多段速运行设定</translation>
    </message>
    <message>
        <source>Section 1 run time</source>
        <translation>第1段运行时间</translation>
    </message>
    <message>
        <source>Section 2 run time</source>
        <translation>第2段运行时间</translation>
    </message>
    <message>
        <source>Section 3 run time</source>
        <translation>第3段运行时间</translation>
    </message>
    <message>
        <source>Section 4 run time</source>
        <translation>第4段运行时间</translation>
    </message>
    <message>
        <source>Section 5 run time</source>
        <translation>第5段运行时间</translation>
    </message>
    <message>
        <source>Section 6 run time</source>
        <translation>第6段运行时间</translation>
    </message>
    <message>
        <source>Section 7 run time</source>
        <translation>第7段运行时间</translation>
    </message>
    <message>
        <source>Section 1 run direction</source>
        <translation>第1段运行方向</translation>
    </message>
    <message>
        <source>Section 2 run direction</source>
        <translation>第2段运行方向</translation>
    </message>
    <message>
        <source>Wobbling function selection</source>
        <translation>摆频功能选择</translation>
    </message>
    <message>
        <source>Wobbling Preferences frequence </source>
        <translation>摆频预置频率 </translation>
    </message>
    <message>
        <source>Wobbling Preferences wait time</source>
        <translation>摆频预置频率等待时间</translation>
    </message>
    <message>
        <source>Wobbling margin</source>
        <translation>摆频幅值</translation>
    </message>
    <message>
        <source>Quick step frequency</source>
        <translation>突跳频率</translation>
    </message>
    <message>
        <source>Wobbling period</source>
        <translation>摆频周期</translation>
    </message>
    <message>
        <source>Triangular wave rise time</source>
        <translation>三角波上升时间</translation>
    </message>
    <message>
        <source>Pendulum frequency center frequency reference</source>
        <translation>摆频中心频率设定</translation>
    </message>
    <message>
        <source>local address</source>
        <translation>本机地址</translation>
    </message>
    <message>
        <source>communication setting</source>
        <translation>通讯设定</translation>
    </message>
    <message>
        <source>Communication timeout detection time</source>
        <translation>通讯超时检出时间</translation>
    </message>
    <message>
        <source>The delay time of machine response </source>
        <translation>本机应答延时 </translation>
    </message>
    <message>
        <source>Linkage ratio set</source>
        <translation>联动比例设定</translation>
    </message>
    <message>
        <source>Motor overload factor</source>
        <translation>电机过载保护系数</translation>
    </message>
    <message>
        <source>Undervoltage protection level</source>
        <translation>欠压保护水平</translation>
    </message>
    <message>
        <source>Overvoltage protection level</source>
        <translation>过压保护水平</translation>
    </message>
    <message>
        <source>Current limit level</source>
        <translation>限流水平</translation>
    </message>
    <message>
        <source>the threshold of zero-frequency running</source>
        <translation>零频运行阈值</translation>
    </message>
    <message>
        <source>Zero frequency hysteresis</source>
        <translation>零频回差</translation>
    </message>
    <message>
        <source>Start braking voltage</source>
        <translation>制动起始电压</translation>
    </message>
    <message>
        <source>The proportion of braking action</source>
        <translation>制动动作比例</translation>
    </message>
    <message>
        <source>Cooling fan control</source>
        <translation>冷却风扇控制</translation>
    </message>
    <message>
        <source>Modify the rate by terminal UP/DOWN</source>
        <translation>端子UP/DOWN修改速率</translation>
    </message>
    <message>
        <source>Over modulation enabled</source>
        <translation>过调制使能</translation>
    </message>
    <message>
        <source>the length of Timer</source>
        <translation>定时器时长</translation>
    </message>
</context>
</TS>
